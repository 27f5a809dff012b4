#pragma once

#include <QByteArray>

// Where the workers' requests go: the line thread of the connection in use.
class CRequestWriter
{
public:
    virtual ~CRequestWriter() = default;
    // Writes one request frame to the ECU and returns once it has been
    // written (true), or could not be: no connection, a device that failed,
    // a connection that ended meanwhile (false). Called on a worker's
    // thread; it does not wait for the answer.
    virtual bool writeRequest(const QByteArray &frame) = 0;
};

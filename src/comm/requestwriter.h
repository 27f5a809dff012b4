#pragma once

#include <QByteArray>
#include <functional>

// Where the workers' requests go: the line thread of the connection in use.
class CRequestWriter
{
public:
    // Told, on the line thread (or on the thread that drops the request),
    // whether the request was written.
    using Written = std::function<void(bool written)>;

    virtual ~CRequestWriter() = default;
    // Hands one request frame to the line and returns at once; `written` is
    // called once it has been written (true), or once it cannot be: no
    // connection, a device that failed, a connection that ended meanwhile
    // (false).
    virtual void postRequest(const QByteArray &frame, Written written) = 0;
};

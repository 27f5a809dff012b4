#pragma once

#include "eculine.h"
#include "requestwriter.h"

#include <QByteArray>
#include <QList>
#include <QMutex>
#include <QObject>
#include <QString>
#include <QWaitCondition>
#include <functional>
#include <hidapi/hidapi.h>

class CEcuTransport;
class CHidTransport;
class CSerialTransport;

// Where the ECU's HID device comes from: how to open it (called once, on the
// device's own thread; null: none attached), and the port name the port
// search gives the HID route.
struct CHidSource
{
    QString portName;
    std::function<hid_device *()> open;
};

// The one line to the ECU: the HID device's transport (for the whole run,
// when a device is attached), the transport of the serial port in use (one
// per port opened), and the line's timing rules. Every frame goes through
// the transport in use, on its own thread.
//
// While no connection is in use the port search has the line: it opens
// ports, sends its probe and gets every answer on the window's thread
// (searchAnswersWaiting, takeSearchAnswers). A connection then takes a
// transport: the HID device's when it is named so, the serial port the
// search left open, or a port opened for it. From then on the workers write
// through the link and get every answer on the line thread; the window's
// thread sees no frame at all.
class CEcuLink : public QObject, public CRequestWriter
{
    Q_OBJECT
public:
    using AnswerHandler = std::function<void(const QByteArray &frame)>;

    explicit CEcuLink(const CHidSource &hid, QObject *parent = nullptr);
    // Closes the serial port and the HID device, each on its thread, and
    // ends hidapi.
    ~CEcuLink() override;

    CEcuLine *rules() { return &m_rules; }
    // Every answer goes here too, on the line thread (the workers' side).
    // Without a handler (the workers are going) nobody is told anything
    // more: no answer, no write.
    void setAnswerHandler(AnswerHandler handler);

    // The port search's side.
    bool hasHid() const;
    // The HID device's identity request; the answer report comes through
    // hidProbed (empty when the device did not answer).
    void probeHid(int attempts);
    void abortHidProbe();
    // Opens a serial port for the search (closing one opened before): true
    // when it is open. Nothing while a connection is in use.
    bool openPort(const QString &name);
    // Closes the search's serial port and drops what it sent and got.
    // Nothing while a connection is in use.
    void closePort();
    // A frame to send on the transport in use (the search's port, or the
    // connection's); returns at once.
    void post(const QByteArray &frame);
    // The answers that came while no connection was in use, oldest first.
    QList<QByteArray> takeSearchAnswers();

    // The connection.
    void connectTo(const QString &name);
    // Ends the connection: requests not yet written are dropped, the serial
    // port closes, the HID device stays open for the next search.
    void endConnection();
    QString portName() const;
    // Whether the connection's device is looked at once a second (for an
    // idle line, which says nothing when its device goes away).
    void setWatching(bool watch);

    void postRequest(const QByteArray &frame, Written written) override;

signals:
    void hidProbed(QByteArray report);
    void searchAnswersWaiting();
    // The connection's device went away or failed.
    void portGone();

private:
    void use(CEcuTransport *transport, bool forSearch);
    void closeSerial();
    void hook(CEcuTransport *transport);
    void dispatch(const QByteArray &frame);
    void tellWritten(const Written &written, bool ok);

    CEcuLine m_rules;
    CHidTransport *m_hid = nullptr;
    CSerialTransport *m_serial = nullptr;
    quint64 m_serialId = 0;  // the serial transport in use, for its reports
    quint64 m_hidId = 0;
    quint64 m_lastId = 0;
    QString m_connected;     // the connection's port name (empty: none)
    mutable QMutex m_mutex;  // guards the members below
    QWaitCondition m_unused;
    CEcuTransport *m_current = nullptr; // where frames go
    quint64 m_currentId = 0;
    bool m_forSearch = true;            // answers go to the window's thread too
    int m_writers = 0;                  // workers inside postRequest
    QList<QByteArray> m_searchAnswers;
    AnswerHandler m_handler;
};

#pragma once

#include "comm/cdevinfo.h"

#include <QObject>
#include <QString>
#include <QTimer>

class CEcuLink;

// Finds the ECU on one port as the window's port search does, through the
// session's line, without a dialog:
// - "HID": the identity request to the ECU's USB HID device (5 attempts);
//   the answer carries the identity;
// - a serial port: the port is opened, given 30 ms to fall quiet, then the
//   probe frame goes out and an answer starting FA C8 within 500 ms finds
//   the ECU. The serial answer does not carry the identity: the ECU counts
//   as hardware 10, version 1.1-R0, cylinders not stated, as in the window.
// A serial port found is left open for the connection; one that is not is
// closed again.
class CEcuProbe : public QObject
{
    Q_OBJECT
public:
    enum class Result {
        Running,
        Found,
        NoAnswer,    // nothing came within the time-out (HID: in 5 attempts)
        WrongAnswer, // an answer came, but not FA C8
        NotOpened,   // the serial port could not be opened
        NoHidDevice  // no ECU on USB, or it could not be opened
    };
    Q_ENUM(Result)

    explicit CEcuProbe(CEcuLink *link, QObject *parent = nullptr);
    ~CEcuProbe() override;

    // Starts the probe of `port` ("HID" or a serial port's name or path).
    // It may be over when this returns (a port that does not open).
    void start(const QString &port);
    // Gives up a probe under way: a serial port is closed.
    void abort();

    Result result() const { return m_result; }
    bool isRunning() const { return m_result == Result::Running; }
    // The identity, once found.
    const CDevInfo &devInfo() const { return m_info; }
    // The identity came from the ECU (HID), not the serial route's record.
    bool identityReported() const { return m_reported; }

signals:
    void finished();

private:
    void sendProbe();
    void takeAnswers();
    void onHidProbe(const QByteArray &report);
    void finish(Result result);

    CEcuLink *const m_link;
    QTimer m_settle;
    QTimer m_timeout;
    bool m_hid = false;
    bool m_waiting = false; // the serial probe frame has gone out
    Result m_result = Result::Running;
    CDevInfo m_info;
    bool m_reported = false;
};

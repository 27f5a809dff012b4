#pragma once

#include "cdevinfo.h"
#include "ceculink.h"
#include "livesample.h"

#include <QByteArray>
#include <QObject>
#include <QString>

class CGestRT;
class CGestReceive;
class CGestSend;
class CReadingsRelay;

// Answer time-outs and budgets of the three workers. The program uses the
// defaults; tests pass shorter time-outs.
struct CWorkerTimings
{
    int transferTimeoutMs = 500;
    int transferRetries = 20;
    int linkTimeoutMs = 300;
    int linkRetries = 30;
};

// What a transfer came to, once its last phase has ended.
struct CTransferOutcome
{
    enum Kind {
        None,         // nothing has ended
        ReadDone,     // image: the flash image read
        ReadFailed,   // the line failed; the connection has ended
        WriteDone,    // image: what was written (and checked, when `checked`)
        WriteFailed,  // the line failed; the connection has ended
        WriteDiffers  // every byte acknowledged, but the ECU holds something else
    };
    Kind kind = None;
    QByteArray image;    // the image read, or the image written
    QByteArray readBack; // WriteDiffers: what the ECU gave back
    bool connectionLost = false; // the connection had ended under the transfer
    bool checked = false;        // a write was read back and compared
};
Q_DECLARE_METATYPE(CTransferOutcome)

// The connection to the ECU: the line (CEcuLink, whose transports own the
// devices on threads of their own), the three workers, and the transfers
// with their phases. Its state is one state machine, below; every "may this
// start now?" answer and everything that follows the state (polling, the
// readings' pace, the look at an idle port) is derived from it, and
// stateChanged() tells every change.
//
// A command (a transfer, or a file operation that must not overlap an
// exchange) is requested, handed back by the real-time worker once the line
// is free (takeCommand), then either becomes a transfer or ends
// (endCommand). While a command waits for the user the connection may still
// end: whatever runs after a question asks the session again.
class CEcuSession : public QObject
{
    Q_OBJECT
public:
    enum class State {
        Disconnected,   // no ECU port in use, nothing requested
        Idle,           // an ECU port in use, the line free (polling when the link is on)
        CommandPending, // a command waits for the line
        Command,        // a command has the line: polling paused, nothing sent
        Reading,        // the flash read
        Writing,        // the flash write
        Verifying,      // the written bytes read back
        SwitchingOff,   // quitting: the test bench's switch-off goes out first
        Ended           // quitting: nothing more goes to the ECU
    };
    Q_ENUM(State)

    // `hid` tells how to open the ECU's HID device (once, on its own thread)
    // and the port name the port search gives it.
    CEcuSession(const CHidSource &hid, const CWorkerTimings &timings, QObject *parent = nullptr);
    ~CEcuSession() override;

    // The state: the phase, the link switch, the test bench.
    State state() const { return m_state; }
    bool linkOn() const { return m_linkOn; }
    bool benchOn() const { return m_benchOn; }
    bool isConnected() const;
    QString portName() const;
    const CDevInfo &devInfo() const { return m_devInfo; }
    quint8 hardware() const { return m_devInfo.hardware; }
    // An ECU that stated its cylinders fixes the variant, until a report
    // without them or the end of the connection.
    bool variantFixed() const;

    // May a command (a transfer, a file operation, a search) be asked for now?
    bool mayStartCommand() const;
    // May a transfer, the link switch or a test-bench command start now?
    bool mayUseEcu() const;
    // A transfer is asked for, waits, or runs: the panel is taken.
    bool transferBusy() const;
    // A write (or the check after it) is asked for, waits, or runs.
    bool writeBusy() const;
    // The real-time readouts are taken now (the link button is usable).
    bool acceptsReadings() const;

    // The connection. connectTo takes the port found by the port search
    // (the HID device's name, or the serial port it has left open).
    void connectTo(const QString &portName);
    // A search that found nothing: no route, the port closed.
    void searchFailed();
    // Ends the connection at once, whatever its cause: every exchange in
    // flight is abandoned, a running transfer reports its failure once
    // (transferEnded), and nothing of this connection reaches the next one.
    void endConnection();
    // The real-time link reported a failure: true when it ended a connection
    // (false for a report from a connection that has already ended).
    bool linkFailed();

    void setDevInfo(const CDevInfo &info);

    // The link switch and the ECU commands (K, test bench).
    bool toggleLink();
    bool toggleBench();
    // After a read the test-bench switch follows what the ECU holds.
    void setBenchOn(bool on);
    void queueK(int k);
    // Whether a write is read back before it counts as done: as the
    // settings say ("Line/VerifyWrites", read when the write starts), or
    // always, or never, whatever they say.
    enum class WriteCheck { AsSettings, Always, Never };
    void setWriteCheck(WriteCheck rule) { m_writeCheck = rule; }
    // Quitting with the test bench on: its switch-off goes out, then the
    // session has Ended and says whether the ECU acknowledged every frame
    // of it (exitReady). False when it cannot start now.
    bool switchBenchOffForExit();

    // Commands. requestWrite keeps the image to write.
    bool requestCommand(const QString &cmd);
    bool requestWrite(const QByteArray &image);
    bool takeCommand(const QString &cmd);
    bool startRead();
    bool startWrite();
    void endCommand(bool resumeLink = true);

    // A transfer worker's report ("OK_RCV", "KO_SND", ...); what the
    // transfer came to follows through transferEnded.
    void transferResult(const QString &result);
    // A worker's percentage, as the progress of the whole transfer (a
    // checked write fills the bar once over its two halves).
    int overallPercent(int percent) const;

    // The line: the port search's side of it, and a frame from the window's
    // thread (the probe), written by the transport in use.
    CEcuLink *link() const { return m_link; }
    void sendFrame(const QByteArray &frame);

    // The workers, whose progress, outcomes and commands the window takes.
    CGestSend *gestSend() const { return m_gestSend; }
    CGestReceive *gestReceive() const { return m_gestReceive; }
    CGestRT *gestRT() const { return m_gestRT; }

signals:
    void stateChanged();
    // The connection has ended: the readouts go back to 0.
    void connectionEnded();
    // The serial adapter, the virtual port or the HID device went away
    // while no transfer ran.
    void linkError(const QString &error);
    // A poll answer while the link polls (never the zeros the link publishes
    // when it stops or pauses for a command).
    void liveSample(const CLiveSample &sample);
    // Every set of readings the real-time worker publishes, the zeros of a
    // stopped or paused link included, at the display's pace while the link
    // polls.
    void readingsPublished(int rpm, uchar adc);
    // A transfer has ended: read, written (and checked), or failed.
    void transferEnded(const CTransferOutcome &outcome);
    // An ECU command (K, the test bench) could not be written to the line.
    void commandNotSent();
    // Quitting: the switch-off has gone out, acknowledged or not; the
    // program may end.
    void exitReady(bool acknowledged);

private:
    // A read, write or check runs.
    bool transferRunning() const;
    void setState(State state);
    void follow();
    void teardown(State next);
    void resumeLink();
    void finish(CTransferOutcome::Kind kind);
    void finishExit(bool acknowledged);
    void onPortGone();
    void onCommandNotSent();
    bool polling() const { return m_state == State::Idle && m_linkOn; }

    // The state.
    State m_state = State::Disconnected;
    bool m_linkOn = false;  // the link switch
    bool m_benchOn = false; // the test-bench button
    QString m_command;      // the command asked for, or running
    int m_exitLostAcks = 0; // SwitchingOff: acknowledgements lost before it
    int m_exitUnsent = 0;   // SwitchingOff: its frames not written

    bool m_checkWrites = true; // the running write is read back
    WriteCheck m_writeCheck = WriteCheck::AsSettings;
    CDevInfo m_devInfo;        // the ECU's latest report
    bool m_variantFixed = false; // it stated its cylinders
    QByteArray m_flashBuffer;  // the image a transfer writes or fills
    QByteArray m_writtenImage; // what the running write sends
    CEcuLink *m_link = nullptr;
    CGestSend *m_gestSend = nullptr;
    CGestReceive *m_gestReceive = nullptr;
    CGestRT *m_gestRT = nullptr;
    CReadingsRelay *m_relay = nullptr;
};

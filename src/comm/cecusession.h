#pragma once

#include "cdevinfo.h"
#include "eculine.h"
#include "livesample.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QMutex>
#include <QObject>
#include <QPointer>
#include <QSerialPort>
#include <QString>
#include <QTimer>
#include <QVector>
#include <atomic>
#include <hidapi/hidapi.h>

class CGestRT;
class CGestReceive;
class CGestSend;
class CHidTransport;
class CSerialPump;
class QSocketNotifier;

// Answer time-outs and budgets of the three workers, and the earliest an
// answer can follow a request on the serial line. The program uses the
// defaults; tests pass shorter ones (and 0 for an unpaced simulator).
struct CWorkerTimings
{
    int transferTimeoutMs = 500;
    int transferRetries = 20;
    int linkTimeoutMs = 300;
    int linkRetries = 30;
    // 8 request bytes take 8.33 ms at 9600 baud: no answer can start sooner.
    qint64 serialAnswerMinNs = 8333333;
};

// What a transfer came to, once its last phase has ended.
struct CTransferOutcome
{
    enum Kind {
        None,         // nothing has ended (a phase goes on, or a stale report)
        ReadDone,     // image: the flash image read
        ReadFailed,   // the line failed; the connection has ended
        WriteDone,    // image: what was written (and checked, when checks are on)
        WriteFailed,  // the line failed; the connection has ended
        WriteDiffers  // every byte acknowledged, but the ECU holds something else
    };
    Kind kind = None;
    QByteArray image;    // the image read, or the image written
    QByteArray readBack; // WriteDiffers: what the ECU gave back
    bool connectionLost = false; // the connection had ended under the transfer
};

// The connection to the ECU: the serial port or the HID device, the line's
// timing rules, the frame assembly, the three workers and the transfers with
// their phases. It has one explicit state, and every "may this start now?"
// answer is derived from that state; stateChanged() tells every change (of
// the state, the connection, the link switch or the test bench).
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
        Verifying       // the written bytes read back
    };
    Q_ENUM(State)

    // The session owns the HID device it is given (null: none attached) and
    // closes it, and shuts hidapi down, when it is destroyed.
    CEcuSession(hid_device *hidDevice, const CWorkerTimings &timings, QObject *parent = nullptr);
    ~CEcuSession() override;

    State state() const { return m_state; }
    bool isConnected() const { return m_connected; }
    bool linkOn() const { return m_linkOn; }
    bool benchOn() const { return m_benchOn; }
    QString portName() const { return m_portName; }
    const CDevInfo &devInfo() const { return m_devInfo; }
    quint8 hardware() const { return m_devInfo.hardware; }
    QString command() const { return m_command; }

    // May a command (a transfer, a file operation, a search) be asked for now?
    bool mayStartCommand() const;
    // May a transfer, the link switch or a test-bench command start now?
    bool mayUseEcu() const;
    // A transfer is asked for, waits, or runs: the panel is taken.
    bool transferBusy() const;
    // A write (or the check after it) is asked for, waits, or runs.
    bool writeBusy() const;
    // A read, write or check runs.
    bool transferRunning() const;
    // The real-time readouts are taken now (the link button is usable).
    bool acceptsReadings() const;

    // The connection. connectTo takes the port found by the port search
    // ("HID" for the HID device; a serial port it has left open).
    void connectTo(const QString &portName);
    // A search that found nothing: no route, the port closed.
    void searchFailed();
    // Ends the connection at once, whatever its cause: every exchange in
    // flight is abandoned, a running transfer reports its failure once, and
    // nothing of this connection reaches the next one.
    void endConnection();
    // The real-time link reported a failure: true when it ended a connection
    // (false for a report from a connection that has already ended).
    bool linkFailed();

    void setDevInfo(const CDevInfo &info);
    // An ECU that stated its cylinders fixes the variant, until a report
    // without them or the end of the connection.
    bool variantFixed() const { return m_variantFixed; }

    // The link switch and the ECU commands (K, test bench).
    bool toggleLink();
    bool toggleBench();
    // After a read the test-bench switch follows what the ECU holds.
    void setBenchOn(bool on);
    // Before the program ends: the test bench is switched off and the
    // command BenchOffForExit is handed back once the switch-off has gone
    // out (or the connection ends first). False when it cannot start now.
    bool switchBenchOffForExit();
    // Every frame of that switch-off acknowledged by the ECU.
    bool benchOffAcknowledged();
    void queueK(int k);

    // Commands. requestWrite keeps the image to write.
    bool requestCommand(const QString &cmd);
    bool requestWrite(const QByteArray &image);
    bool takeCommand(const QString &cmd);
    bool startRead();
    bool startWrite();
    void endCommand(bool resumeLink = true);

    // A transfer worker's report ("OK_RCV", "KO_SND", ...).
    CTransferOutcome transferResult(const QString &result);
    // A worker's percentage, as the progress of the whole transfer (a
    // checked write fills the bar once over its two halves).
    int overallPercent(int percent) const;

    // The line: a frame to write (sender: the object that emitted it), and
    // bytes to read from the serial port.
    void sendFrame(const QByteArray &frame, const QObject *sender);
    void readSerial();

    QSerialPort *port() const { return m_port; }
    hid_device *hidDevice() const { return m_hidDevice; }
    CHidTransport *hidTransport() const { return m_hidTransport; }
    CGestSend *gestSend() const { return m_gestSend; }
    CGestReceive *gestReceive() const { return m_gestReceive; }
    CGestRT *gestRT() const { return m_gestRT; }
    CEcuLine &line() { return m_line; }
    const QByteArray &flashImage() const { return m_flashBuffer; }
    // The answer frame being assembled on the serial route, or the latest
    // HID answer.
    const QByteArray &lastFrame() const { return m_rxFrame; }

signals:
    void stateChanged();
    // The connection has ended: the readouts go back to 0.
    void connectionEnded();
    // Every complete answer frame, before the workers get it (the port
    // search checks it there).
    void answerReceived(const QByteArray &frame);
    // The serial adapter, the virtual port or the HID device went away
    // while no transfer ran.
    void linkError(const QString &error);
    // A poll answer while the link polls (never the zeros the link publishes
    // when it stops or pauses for a command).
    void liveSample(const CLiveSample &sample);
    // Every set of readings the real-time worker publishes, the zeros of a
    // stopped or paused link included: the engine speed and the probe level
    // for the readouts. While the link polls they come at the display's pace,
    // those of each SampleDeliveryMs together, in order; otherwise at once.
    void readingsPublished(int rpm, uchar adc);

public:
    // How often the readings of a polling link are handed over.
    static constexpr int SampleDeliveryMs = 66;
    // The live link's exchanges run off the window's thread (serial route).
    bool pumping() const { return m_pumping; }

private:
    void setState(State state);
    void closePort();
    void startPump();
    void stopPump();
    void collectSamples();
    void deliverSamples();
    void changed();
    void handAnswer(const QByteArray &frame);
    void onHidAnswer(const QByteArray &frame);
    void onPortError(QSerialPort::SerialPortError error);
    void portGone();
    void watchPresence();
    void checkPresence();
    void wakeForWholeFrames();
    void resumeLink();
    void applyLineSettings();
    CTransferOutcome finish(CTransferOutcome::Kind kind);
    bool polling() const { return m_connected && m_linkOn && m_state == State::Idle; }

    State m_state = State::Disconnected;
    bool m_connected = false;
    bool m_linkOn = false;
    bool m_benchOn = false;
    int m_lostAcksBeforeBenchOff = -1;
    bool m_variantFixed = false;
    bool m_wholeFrames = false; // the port wakes for whole answers only
    QString m_command;          // the command asked for, or running
    enum class Aborted { None, Read, Write };
    Aborted m_aborted = Aborted::None; // a transfer ended by the end of its connection
    bool m_checkWrites = true;
    CDevInfo m_devInfo;
    QString m_portName;
    QByteArray m_flashBuffer;   // the image a transfer writes or fills
    QByteArray m_writtenImage;  // what the running write sends
    QByteArray m_rxFrame;
    int m_rxCount = 0;
    qint64 m_serialAnswerMinNs;
    QSerialPort *m_port = nullptr;
    hid_device *m_hidDevice = nullptr;
    CHidTransport *m_hidTransport = nullptr;
    CEcuLine m_line;
    CGestSend *m_gestSend = nullptr;
    CGestReceive *m_gestReceive = nullptr;
    CGestRT *m_gestRT = nullptr;
    CSerialPump *m_pump = nullptr;
    bool m_pumping = false;     // the pump owns the port's input
    QPointer<QSocketNotifier> m_readNotifier; // the port's, off while the pump runs
    QMutex m_samplesMutex;      // guards m_samples
    struct Published
    {
        CLiveSample sample;
        bool live; // an answer of a polling link, not the zeros of a pause
    };
    QVector<Published> m_samples; // published, not yet handed over
    std::atomic<bool> m_collecting{false}; // the delivery timer hands them over
    QTimer m_delivery;
    QTimer m_presence;          // once a second while connected, idle, the link off
    QElapsedTimer m_clock;      // the time line of the live samples
    CLiveSample m_pollSample;   // the poll answer being gathered (worker thread only)
};

#pragma once

#include <QByteArray>
#include <QElapsedTimer>
#include <QObject>
#include <QString>

class EcuSimulator;
class QSocketNotifier;
class QTimer;

// Serves an EcuSimulator on a pseudo-terminal (Linux): the slave side is a
// serial port that QSerialPort can open by its path. Runs in the thread that
// owns it, driven by the event loop.
//
// Bytes from the client are gathered into 8-byte requests. A partial request
// is dropped when no further byte follows within RequestGapMs, so a lost or
// surplus byte cannot keep the requests misaligned. The slave is in raw mode
// (every byte value passes unchanged) and the server keeps a descriptor of
// it open, so the master sees no hang-up while no client has the port open.
class PtySimServer : public QObject
{
    Q_OBJECT
public:
    static constexpr int RequestGapMs = 50;
    static constexpr qint64 PacedByteNs = 1041667; // 10 bits at 9600 baud

    explicit PtySimServer(EcuSimulator *sim, QObject *parent = nullptr);
    ~PtySimServer() override;

    bool open();              // creates the pseudo-terminal
    QString slavePath() const;// e.g. /dev/pts/7
    // The whole exchange is paced like a 9600-baud line (about 1.04 ms per
    // byte): the answer starts once the 8 request bytes would have arrived,
    // and its bytes leave one by one, so an exchange takes 16.7 ms.
    void setPaced(bool paced);
    // The ECU's own time to answer: every answer starts this long after
    // its request has arrived (0, the default: at once).
    void setLatencyMs(int ms);
    // Puts bytes on the line that no request asked for (a stray frame, noise):
    // they leave at once, all together, behind the answers already due.
    void sendUnasked(const QByteArray &bytes);
    // Links the slave into dir/name; the link is removed by the destructor.
    // An existing symbolic link of that name is replaced; any other file
    // there makes it fail.
    bool linkInto(const QString &dir, const QString &name);
    QString linkPath() const;
    // Removes the link now (also done by the destructor).
    void unlink();

signals:
    // A request and the simulator's answer (empty: none), emitted once the
    // answer is scheduled.
    void frameSeen(QByteArray request, QByteArray answer);

private:
    void onReadable();
    void schedule(qint64 dueNs, const QByteArray &bytes, qint64 byteNs);
    void pump();
    int write(const char *bytes, int count);

    EcuSimulator *sim;
    int masterFd = -1;
    int slaveFd = -1;         // kept open: no hang-up between clients
    QString slave;
    QString link;
    bool paced = false;
    int latencyMs = 0;
    QByteArray pending;       // request being gathered
    QElapsedTimer lastByte;   // arrival of the latest request byte
    QElapsedTimer clock;      // the server's time line
    qint64 requestStartNs = 0;// arrival of the first byte of `pending`
    struct Outgoing
    {
        qint64 startNs;       // when the first byte may leave
        QByteArray bytes;
        qint64 byteNs;        // line time of one byte (0: all at once)
        int sent = 0;
        qint64 endNs() const { return startNs + bytes.size() * byteNs; }
    };
    QList<Outgoing> outbox;   // answers not yet (fully) written, by start time
    QSocketNotifier *notifier = nullptr;
    QTimer *pacer = nullptr;
};

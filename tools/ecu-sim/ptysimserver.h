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
    // Answers are paced like a 9600-baud line (about 1.04 ms per byte).
    void setPaced(bool paced);
    // Links the slave into dir/name; the link is removed by the destructor.
    // An existing symbolic link of that name is replaced; any other file
    // there makes it fail.
    bool linkInto(const QString &dir, const QString &name);
    QString linkPath() const;
    // Removes the link now (also done by the destructor).
    void unlink();

signals:
    void frameSeen(QByteArray request, QByteArray answer);

private:
    void onReadable();
    void onWritable();
    void sendPaced();
    void flush(int maxBytes);

    EcuSimulator *sim;
    int masterFd = -1;
    int slaveFd = -1;         // kept open: no hang-up between clients
    QString slave;
    QString link;
    bool paced = false;
    QByteArray pending;       // request being gathered
    QElapsedTimer lastByte;   // arrival of the latest request byte
    QByteArray outbox;        // answer bytes not yet written
    QElapsedTimer pacingClock;// start of the paced run of outbox bytes
    qint64 pacedSent = 0;     // bytes written in the current paced run
    QSocketNotifier *notifier = nullptr;
    QSocketNotifier *writeNotifier = nullptr;
    QTimer *pacer = nullptr;
};

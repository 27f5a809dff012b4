#pragma once

#include <QObject>
#include <QString>

class EcuSimulator;
class QSocketNotifier;

// Serves an EcuSimulator on a pseudo-terminal (Linux): the slave side is a
// serial port that QSerialPort can open by its path. Runs in the thread that
// owns it, driven by the event loop.
class PtySimServer : public QObject
{
    Q_OBJECT
public:
    explicit PtySimServer(EcuSimulator *sim, QObject *parent = nullptr);
    ~PtySimServer() override;

    bool open();              // creates the pseudo-terminal
    QString slavePath() const;// e.g. /dev/pts/7
    // Answers are paced like a 9600-baud line (about 1.04 ms per byte).
    void setPaced(bool paced);
    // Links the slave into dir/name; the link is removed by the destructor.
    bool linkInto(const QString &dir, const QString &name);
    QString linkPath() const;

signals:
    void frameSeen(QByteArray request, QByteArray answer);

private:
    void onReadable();

    EcuSimulator *sim;
    int masterFd = -1;
    QString slave;
    QString link;
    bool paced = false;
    QByteArray pending;
    QSocketNotifier *notifier = nullptr;
};

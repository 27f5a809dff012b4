#pragma once

#include <QByteArray>
#include <QElapsedTimer>
#include <QMutex>
#include <QThread>
#include <atomic>

// Writes the flash image into the ECU, one write frame per byte, each
// acknowledged (FD) before the next goes out.
class CGestSend : public QThread
{
    Q_OBJECT
public:
    CGestSend(QByteArray *data, QObject *parent, int timeoutMs, int maxRetries);
    ~CGestSend() override;

    void startSend(quint8 first);
    void setReply(const QByteArray &frame);

signals:
    void sgnSndByte(QByteArray frame);
    void sgnPercent(int percent);
    void sgnEsito(QString result);

protected:
    void run() override;

private:
    void step();

    QMutex mutex; // guards every member below that the GUI thread touches
    int state = 800;
    int maxRetries;
    int retriesLeft = 0;
    int timeoutMs;
    QElapsedTimer clock;
    QByteArray *data;
    QByteArray reply;
    quint8 index = 0;
    std::atomic<bool> stopRequested{false};
};

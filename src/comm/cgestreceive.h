#pragma once

#include <QByteArray>
#include <QElapsedTimer>
#include <QMutex>
#include <QThread>
#include <atomic>

// Reads the flash image out of the ECU, one read frame per address; each
// answer's data byte is appended to the image.
class CGestReceive : public QThread
{
    Q_OBJECT
public:
    CGestReceive(QByteArray *data, QObject *parent, int timeoutMs, int maxRetries);
    ~CGestReceive() override;

    void startReceive(quint8 first, quint8 hardware);
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
    int count = 50;
    std::atomic<bool> stopRequested{false};
};

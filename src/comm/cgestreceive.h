#pragma once

#include "workerlock.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QMutex>
#include <QThread>
#include <atomic>

class CEcuLine;

// Reads the flash image out of the ECU, one read frame per address; each
// answer's data byte is appended to the image.
class CGestReceive : public QThread
{
    Q_OBJECT
public:
    CGestReceive(QByteArray *data, QObject *parent, int timeoutMs, int maxRetries);
    ~CGestReceive() override;

    // The line whose gaps and silences the worker keeps (none: requests go
    // out as soon as the previous exchange has ended).
    void setLine(CEcuLine *line);
    void startReceive(quint8 first, quint8 hardware);
    void setReply(const QByteArray &frame);
    // Ends a running read at once: it reports "KO_RCV" (once) and touches
    // the image no more. Does nothing while idle.
    void abort();
    bool isBusy() const;

signals:
    void sgnSndByte(QByteArray frame);
    void sgnPercent(int percent);
    void sgnEsito(QString result);

protected:
    void run() override;

private:
    qint64 step();

    mutable QMutex mutex; // guards every member below that the GUI thread touches
    int state = 800;
    int maxRetries;
    int retriesLeft = 0;
    int timeoutMs;
    QElapsedTimer clock;
    QByteArray *data;
    QByteArray reply;
    quint8 index = 0;
    int count = 50;
    bool repeated = false;   // the current address had to be asked again
    CEcuLine *line = nullptr;
    WorkerWake wake;
    std::atomic<bool> stopRequested{false};
};

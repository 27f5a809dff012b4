#pragma once

#include "workerlock.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QMutex>
#include <QThread>
#include <atomic>

class CEcuLine;

// Writes the flash image into the ECU, one write frame per byte, each
// acknowledged (FD) before the next goes out.
class CGestSend : public QThread
{
    Q_OBJECT
public:
    CGestSend(QByteArray *data, QObject *parent, int timeoutMs, int maxRetries);
    ~CGestSend() override;

    // The line whose gaps and silences the worker keeps (none: requests go
    // out as soon as the previous exchange has ended).
    void setLine(CEcuLine *line);
    void startSend(quint8 first);
    void setReply(const QByteArray &frame);
    // Ends a running write at once: it reports "KO_SND" (once) and sends
    // nothing more. Does nothing while idle.
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
    QByteArray image;        // the worker's own copy of the image being written
    QByteArray reply;
    quint8 index = 0;
    bool repeated = false;   // the current byte had to be sent again
    CEcuLine *line = nullptr;
    WorkerWake wake;
    std::atomic<bool> stopRequested{false};
};

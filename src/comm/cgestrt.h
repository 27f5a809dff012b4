#pragma once

#include "workerlock.h"
#include "workerstates.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QList>
#include <QMutex>
#include <QString>
#include <QThread>
#include <atomic>
#include <functional>

class CEcuLine;
class CRequestWriter;

// The real-time link worker and gatekeeper of the ECU line: polls the ECU
// while the link is on, sends queued command frames between polls, and hands
// a requested main-window command back only when the line is free.
class CGestRT : public QThread
{
    Q_OBJECT
public:
    CGestRT(QObject *parent, int timeoutMs, int maxRetries);
    ~CGestRT() override;

    // The line whose gaps and silences the worker keeps (none: requests go
    // out as soon as the previous exchange has ended).
    void setLine(CEcuLine *line);
    // Where its requests are written (none: they leave through sgnSndByte
    // alone).
    void setWriter(CRequestWriter *writer);
    // Told, on the worker's thread, of every command frame that could not
    // be written (the port failed, the connection ended): it was not sent.
    void setNotSentHandler(std::function<void(const QByteArray &frame)> handler);
    void startLink();
    void stopLink();
    void requestCommand(const QString &cmd);
    // Whether the link is switched on (polls are published as they come).
    bool linkOn();
    void queueKIniezione(quint8 k, quint8 hardware);
    void queueBancoOn(quint8 hardware);
    void queueBancoOff(quint8 hardware);
    void setReply(const QByteArray &frame);
    // Command frames written whose acknowledgement never came (they are not
    // sent again), and command frames that could not be written at all,
    // counted over the worker's life.
    int lostAcknowledgements();
    int unsentCommands();
    // The connection has ended: polling stops, queued command frames and a
    // held-back command are dropped, the exchange in flight is abandoned and
    // the budget is full again, so nothing of this connection reaches the
    // next one.
    void abort();

signals:
    void sgnSndByte(QByteArray frame);
    void sgnRpm(int rpm);
    void sgnADC(uchar level);
    void sgnIdxCella(uchar index);
    void sgnValCella(uchar value);
    void sgnError(QString error);
    void sgnExecCmd(QString cmd);

protected:
    void run() override;

private:
    qint64 step();
    bool lineClear(qint64 &sleepNs);
    void written(const QByteArray &frame, quint64 request, bool command, bool ok);
    void queueBanco(quint8 hardware, bool on);

    QMutex mutex; // guards every member below that the GUI thread touches
    int state = LinkState::Idle;
    int maxRetries;
    int retriesLeft = 0;
    bool linkActive = false;
    int timeoutMs;
    QElapsedTimer clock;
    QByteArray reply;
    QList<QByteArray> commandQueue;
    QString pendingCmd;
    int lostAcks = 0;
    int unsent = 0;
    quint64 requests = 0; // requests handed to the line, numbered
    CEcuLine *line = nullptr;
    CRequestWriter *writer = nullptr;
    std::function<void(const QByteArray &)> notSent;
    WorkerWake wake;
    std::atomic<bool> stopRequested{false};
};

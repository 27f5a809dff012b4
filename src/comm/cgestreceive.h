#pragma once

#include "ctransferworker.h"

// Reads the flash image out of the ECU, one read frame per address; each
// answer's data byte is appended to the image.
class CGestReceive : public CTransferWorker
{
    Q_OBJECT
public:
    CGestReceive(QByteArray *data, QObject *parent, int timeoutMs, int maxRetries);
    ~CGestReceive() override;

    void startReceive(quint8 first, quint8 hardware);

signals:
    void sgnSndByte(QByteArray frame);
    void sgnPercent(int percent);
    void sgnEsito(QString result);

protected:
    QByteArray requestFrame() const override;
    int transferLength() const override;
    void takeAnswer(const QByteArray &answer) override;
    void dropAnswer() override;
    bool confirmAnswer(const QByteArray &answer) override;
    void emitFrame(const QByteArray &frame) override;
    void emitPercent(int percent) override;
    void emitOutcome(bool ok) override;

private:
    int count = 50; // read requests of the running transfer: 50 or 90
};

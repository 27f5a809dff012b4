#pragma once

#include "ctransferworker.h"

// Writes the flash image into the ECU, one write frame per byte, each
// acknowledged (FD) before the next goes out.
class CGestSend : public CTransferWorker
{
    Q_OBJECT
public:
    CGestSend(QByteArray *data, QObject *parent, int timeoutMs, int maxRetries);
    ~CGestSend() override;

    void startSend(quint8 first);

signals:
    void sgnSndByte(QByteArray frame);
    void sgnPercent(int percent);
    void sgnEsito(QString result);

protected:
    QByteArray requestFrame() const override;
    int transferLength() const override;
    bool confirmAnswer(const QByteArray &answer) override;
    void emitFrame(const QByteArray &frame) override;
    void emitPercent(int percent) override;
    void emitOutcome(bool ok) override;

private:
    QByteArray image; // the worker's own copy of the image being written
};

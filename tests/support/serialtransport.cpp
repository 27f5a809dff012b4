#include "serialtransport.h"

#include "comm/eculine.h"
#include "comm/frames.h"

SerialTransport::SerialTransport(CEcuLine *line)
    : line(line)
{
    connect(&port, &QSerialPort::readyRead, this, &SerialTransport::onReadyRead);
}

bool openLikeTheProgram(QSerialPort &port, const QString &path)
{
    port.setPortName(path);
    port.setBaudRate(QSerialPort::Baud9600);
    port.setDataBits(QSerialPort::Data8);
    port.setParity(QSerialPort::NoParity);
    port.setStopBits(QSerialPort::OneStop);
    port.setFlowControl(QSerialPort::NoFlowControl);
    if (!port.open(QIODevice::ReadWrite))
        return false;
    // Both fail on a pseudo-terminal ("Inappropriate ioctl for device").
    port.setRequestToSend(true);
    port.setDataTerminalReady(true);
    port.clearError();
    return true;
}

bool SerialTransport::open(const QString &path)
{
    return openLikeTheProgram(port, path);
}

void SerialTransport::send(const QByteArray &frame)
{
    // A new request discards a partial answer and whatever is waiting.
    if (port.bytesAvailable() > 0)
        port.readAll();
    rxCount = 0;
    port.write(frame);
    line->noteRequestSent();
}

void SerialTransport::onReadyRead()
{
    if (port.bytesAvailable() > 0)
        line->noteActivity();
    while (port.bytesAvailable() > 0) {
        char byte = 0;
        if (!port.getChar(&byte))
            break;
        if (pushAnswerByte(rxFrame, rxCount, byte)) {
            const QByteArray frame(rxFrame.constData(), FrameSize);
            line->noteAnswer(frame);
            for (const auto &consumer : qAsConst(consumers))
                consumer(frame);
        }
    }
}

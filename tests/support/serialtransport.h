#pragma once

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QSerialPort>
#include <functional>

class CEcuLine;

// Opens a serial port with the program's line settings (9600 baud, 8N1, no
// flow control, RTS and DTR asserted where the port has them).
bool openLikeTheProgram(QSerialPort &port, const QString &path);

// The program's serial transport in small, for worker tests over a real
// pseudo-terminal: it writes the frames the workers emit to a QSerialPort,
// gathers what comes back into 8-byte frames and hands each frame to every
// attached worker, telling the line about each step as the program's
// transport does. Lives in the thread that creates it.
class SerialTransport : public QObject
{
    Q_OBJECT
public:
    explicit SerialTransport(CEcuLine *line);

    // Opens the port with the program's line settings.
    bool open(const QString &path);

    // The worker's frames are written here (queued from its thread); every
    // answer frame is handed to its setReply.
    template <class Worker>
    void attach(Worker *worker)
    {
        connect(worker, &Worker::sgnSndByte, this, &SerialTransport::send);
        consumers.append([worker](const QByteArray &frame) { worker->setReply(frame); });
    }

    void send(const QByteArray &frame);

private:
    void onReadyRead();

    CEcuLine *line;
    QSerialPort port;
    QByteArray rxFrame;
    int rxCount = 0;
    QList<std::function<void(const QByteArray &)>> consumers;
};

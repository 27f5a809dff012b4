// transferbench: times flash reads and writes through the real transfer
// workers (500 ms time-out, budget of 20, as in the program) against the ECU
// simulator served on a pseudo-terminal whose answers are paced like a
// 9600-baud line, talking through a QSerialPort at 9600 8N1.
//
// For each transfer it prints the time taken and its ratio to the time the
// bytes alone need on the line: 16 bytes per exchange (8 out, 8 back) at 10
// bits a byte.

#include "comm/cgestreceive.h"
#include "comm/cgestsend.h"
#include "comm/frames.h"
#include "ecusimulator.h"
#include "ptysimserver.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QSerialPort>
#include <QThread>
#include <QTimer>

#include <cstdio>

namespace {

constexpr int TimeoutMs = 500;
constexpr int Budget = 20;
constexpr int Baud = 9600;
constexpr int BitsPerByte = 10;
constexpr int BytesPerExchange = 2 * FrameSize;

// The main window's side of the line, reduced to what a transfer needs:
// writes every frame a worker sends, assembles 8-byte answers and hands each
// complete one to both workers.
class Line : public QObject
{
public:
    Line(CGestSend *send, CGestReceive *receive)
        : send(send), receive(receive)
    {
        connect(&port, &QSerialPort::readyRead, this, &Line::onReadyRead);
    }

    bool open(const QString &path)
    {
        port.setPortName(path);
        port.setBaudRate(Baud);
        port.setDataBits(QSerialPort::Data8);
        port.setParity(QSerialPort::NoParity);
        port.setStopBits(QSerialPort::OneStop);
        port.setFlowControl(QSerialPort::NoFlowControl);
        if (!port.open(QIODevice::ReadWrite))
            return false;
        port.setRequestToSend(true); // fails on a pseudo-terminal: harmless
        port.setDataTerminalReady(true);
        port.clearError();
        return true;
    }

    void write(const QByteArray &frame)
    {
        // A partial answer left over from an earlier request is stale.
        answer.clear();
        count = 0;
        port.write(frame);
        ++frames;
    }

    int frames = 0;

private:
    void onReadyRead()
    {
        const QByteArray bytes = port.readAll();
        for (char b : bytes) {
            if (pushAnswerByte(answer, count, b)) {
                send->setReply(answer);
                receive->setReply(answer);
            }
        }
    }

    QSerialPort port;
    CGestSend *send;
    CGestReceive *receive;
    QByteArray answer;
    int count = 0;
};

struct Outcome
{
    QString result;
    qint64 ms = 0;
    int exchanges = 0;
};

template <class Worker, class Start>
Outcome runTransfer(Worker *worker, Line *line, Start start)
{
    QEventLoop loop;
    Outcome out;
    const QMetaObject::Connection done = QObject::connect(worker, &Worker::sgnEsito, &loop, [&](const QString &r) {
        out.result = r;
        loop.quit();
    });
    line->frames = 0;
    QElapsedTimer timer;
    timer.start();
    start();
    loop.exec();
    out.ms = timer.elapsed();
    out.exchanges = line->frames;
    QObject::disconnect(done);
    return out;
}

void report(const char *what, const Outcome &o)
{
    const double lineMs = o.exchanges * BytesPerExchange * BitsPerByte * 1000.0 / Baud;
    std::printf("%-22s %-7s %3d exchanges  %7lld ms  line time %7.1f ms  ratio %5.2f  (%.1f ms per exchange)\n",
                what, qPrintable(o.result), o.exchanges, static_cast<long long>(o.ms), lineMs,
                lineMs > 0 ? o.ms / lineMs : 0.0, o.exchanges > 0 ? double(o.ms) / o.exchanges : 0.0);
    std::fflush(stdout);
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);

    // The simulated ECU runs on its own thread, driven by that thread's
    // event loop, so its pacing does not depend on ours.
    EcuSimulator sim;
    QThread simThread;
    simThread.start();
    PtySimServer *server = new PtySimServer(&sim);
    server->moveToThread(&simThread);
    QString path;
    QMetaObject::invokeMethod(server, [&] {
        if (server->open()) {
            server->setPaced(true);
            path = server->slavePath();
        }
    }, Qt::BlockingQueuedConnection);
    if (path.isEmpty()) {
        std::fprintf(stderr, "transferbench: cannot open a pseudo-terminal\n");
        return 1;
    }

    QByteArray image;
    CGestSend send(&image, nullptr, TimeoutMs, Budget);
    CGestReceive receive(&image, nullptr, TimeoutMs, Budget);
    Line line(&send, &receive);
    if (!line.open(path)) {
        std::fprintf(stderr, "transferbench: cannot open %s\n", qPrintable(path));
        return 1;
    }
    QObject::connect(&send, &CGestSend::sgnSndByte, &line, &Line::write);
    QObject::connect(&receive, &CGestReceive::sgnSndByte, &line, &Line::write);

    std::printf("ECU simulator on %s, answers paced at %d baud; time-out %d ms, budget %d\n",
                qPrintable(path), Baud, TimeoutMs, Budget);

    int failures = 0;
    for (const int hardware : {10, 20}) {
        const Outcome o = runTransfer(&receive, &line, [&] { receive.startReceive(0, static_cast<quint8>(hardware)); });
        const QByteArray expected = sim.table().left(ecuTable(static_cast<quint8>(hardware)).readCount);
        if (o.result != "OK_RCV" || image != expected)
            ++failures;
        report(hardware < 20 ? "flash read, 50 bytes" : "flash read, 90 bytes", o);
    }
    for (const int size : {41, 81}) {
        image.clear();
        for (int i = 0; i < size; ++i)
            image.append(static_cast<char>((i * 7 + 3) & 0x7F));
        const Outcome o = runTransfer(&send, &line, [&] { send.startSend(0); });
        if (o.result != "OK_SND" || sim.table().left(size) != image)
            ++failures;
        report(size == 41 ? "flash write, 41 bytes" : "flash write, 81 bytes", o);
    }

    QMetaObject::invokeMethod(server, [server] { delete server; }, Qt::BlockingQueuedConnection);
    simThread.quit();
    simThread.wait();
    if (failures)
        std::printf("%d transfer(s) failed or left wrong data\n", failures);
    return failures ? 1 : 0;
}

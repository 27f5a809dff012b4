// Scratch program for the ThreadSanitizer check: a worker thread hands frames
// to the GUI thread through a queued signal (correct, must not be reported)
// and also bumps a counter that the GUI thread reads without a lock (a real
// race, must be reported). It shows a window, so Qt's GUI machinery runs too.
#include <QApplication>
#include <QByteArray>
#include <QLabel>
#include <QThread>
#include <QTimer>

class RacyWorker : public QThread
{
    Q_OBJECT
public:
    int polls = 0; // written by the worker, read by the GUI thread: the race

signals:
    void sgnFrame(QByteArray frame);

protected:
    void run() override
    {
        for (int i = 0; i < 40; ++i) {
            bumpPolls();
            QByteArray frame(8, '\0');
            for (int b = 0; b < frame.size(); ++b)
                frame[b] = static_cast<char>(i + b);
            emit sgnFrame(frame);
            msleep(2);
        }
    }

private:
    Q_NEVER_INLINE void bumpPolls() { ++polls; }
};

Q_NEVER_INLINE static int readPollsUnlocked(const RacyWorker &worker)
{
    return worker.polls;
}

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QLabel label;
    label.show();
    RacyWorker worker;
    int sum = 0;
    QObject::connect(&worker, &RacyWorker::sgnFrame, &label, [&](const QByteArray &frame) {
        for (char c : frame)
            sum += c;
        label.setText(QString::fromLatin1(frame.toHex()));
    });
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, &label,
                     [&] { label.setToolTip(QString::number(readPollsUnlocked(worker))); });
    QObject::connect(&worker, &QThread::finished, &app, &QApplication::quit);
    timer.start(1);
    worker.start();
    app.exec();
    worker.wait();
    return sum == 0 ? 1 : 0;
}

#include "tsan_race.moc"

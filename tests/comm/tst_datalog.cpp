// Datalogs: the CSV rows and their reader, the recorder fed with answers as
// the session gives them, and the replayer.

#include "comm/datalog.h"
#include "comm/datalogrecorder.h"
#include "comm/logreplayer.h"

#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

namespace {

const QByteArray kHeader = "time_ms,rpm,cell_index,cell_value,probe_adc,k,test_bench\n";

CLiveSample sample(qint64 ms, int rpm, int cellIndex, int cellValue, int adc)
{
    CLiveSample s;
    s.ms = ms;
    s.rpm = rpm;
    s.cellIndex = cellIndex;
    s.cellValue = cellValue;
    s.adc = adc;
    return s;
}

QByteArray readFile(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

bool writeFile(const QString &path, const QByteArray &data)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(data) == data.size();
}

// Times 0, 100, 100, 250, 1000; K and test bench differ from row to row.
CDataLog fiveRows()
{
    CDataLog log;
    const qint64 times[] = { 0, 100, 100, 250, 1000 };
    for (int i = 0; i < 5; ++i) {
        log.samples.append(sample(times[i], 1000 + i, i, -i, 10 * i));
        log.k.append(qint8(1 + i % 4));
        log.bench.append(i % 2 == 1);
    }
    return log;
}

} // namespace

class tst_DataLog : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();

    void writeRow_data();
    void writeRow();
    void read_data();
    void read();
    void roundTrip();
    void unreadableFile();

    void recordsRowsInANamedFile();
    void neverReplacesAFile();
    void flushesWithinASecondAndOnlyThen();
    void reportsAFolderItCannotMake();

    void seek_data();
    void seek();
    void playsEveryRowAtItsPace();
    void badFileKeepsTheLogLoaded();
};

void tst_DataLog::initTestCase()
{
    qRegisterMetaType<CLiveSample>();
}

void tst_DataLog::writeRow_data()
{
    QTest::addColumn<qint64>("time");
    QTest::addColumn<CLiveSample>("s");
    QTest::addColumn<int>("k");
    QTest::addColumn<bool>("bench");
    QTest::addColumn<QByteArray>("row");

    QTest::newRow("zeros") << qint64(0) << sample(0, 0, 0, 0, 0) << 1 << false
                           << QByteArray("0,0,0,0,0,1,0\n");
    QTest::newRow("typical") << qint64(1234) << sample(99, 4500, 15, -3, 131) << 2 << true
                             << QByteArray("1234,4500,15,-3,131,2,1\n");
    QTest::newRow("lowest cell value") << qint64(7) << sample(0, 1, 40, -128, 255) << 4 << false
                                       << QByteArray("7,1,40,-128,255,4,0\n");
    QTest::newRow("largest values") << qint64(86400000) << sample(0, 65535, 40, 127, 255) << 4
                                    << true << QByteArray("86400000,65535,40,127,255,4,1\n");
}

// The row's time is the one given, not the sample's arrival; rows append.
void tst_DataLog::writeRow()
{
    QFETCH(qint64, time);
    QFETCH(CLiveSample, s);
    QFETCH(int, k);
    QFETCH(bool, bench);
    QFETCH(QByteArray, row);

    QByteArray out = "x\n";
    appendDataLogRow(&out, time, s, k, bench);
    QCOMPARE(out, "x\n" + row);
}

void tst_DataLog::read_data()
{
    QTest::addColumn<QByteArray>("data");
    QTest::addColumn<int>("rows");      // -1: refused
    QTest::addColumn<QString>("error"); // what the message must hold

    const QByteArray h = kHeader;
    const QByteArray r1 = "0,1200,4,-3,131,2,0\n";
    const QByteArray r2 = "20,1250,5,7,131,2,1\n";

    QTest::newRow("header only") << h << 0 << QString();
    QTest::newRow("header without line end") << h.left(h.size() - 1) << 0 << QString();
    QTest::newRow("two rows") << h + r1 + r2 << 2 << QString();
    QTest::newRow("byte-order mark") << "\xEF\xBB\xBF" + h + r1 << 1 << QString();
    QTest::newRow("CRLF line ends")
        << QByteArray(h).replace("\n", "\r\n") + QByteArray(r1 + r2).replace("\n", "\r\n") << 2
        << QString();
    QTest::newRow("blank lines") << h + "\n" + r1 + "\r\n\n" + r2 + "\n\n" << 2 << QString();
    QTest::newRow("same time twice") << h + r1 + "0,1300,5,7,131,2,1\n" << 2 << QString();
    QTest::newRow("last row without line end") << h + r1 + r2.left(r2.size() - 1) << 2
                                               << QString();
    QTest::newRow("truncated last row") << h + r1 + r2.left(9) << 1 << QString();
    QTest::newRow("truncated in a number") << h + r1 + "20,1250,5,7,13" << 1 << QString();

    QTest::newRow("empty file") << QByteArray() << -1 << "vuoto";
    QTest::newRow("byte-order mark and blank lines") << QByteArray("\xEF\xBB\xBF\r\n\n \n") << -1
                                                     << "vuoto";
    QTest::newRow("no header") << r1 + r2 << -1 << "Riga 1:";
    QTest::newRow("header in capitals") << h.toUpper() + r1 << -1 << "Riga 1:";
    QTest::newRow("header with a column more")
        << "time_ms,rpm,cell_index,cell_value,probe_adc,k,test_bench,x\n" + r1 << -1 << "Riga 1:";
    QTest::newRow("six fields") << h + r1 + "20,1250,5,7,131,2\n" << -1 << "Riga 3: 6 campi";
    QTest::newRow("eight fields") << h + "0,1,2,3,4,1,0,9\n" << -1 << "Riga 2: 8 campi";
    QTest::newRow("blank field") << h + "0,1200,,-3,131,2,0\n" << -1
                                 << "Riga 2: il campo cell_index";
    QTest::newRow("blank inside a field") << h + r1 + "20, 1250,5,7,131,2,1\n" << -1
                                          << "Riga 3: il campo rpm (\" 1250\") non è un numero";
    QTest::newRow("decimal") << h + "0.5,1200,4,-3,131,2,0\n" << -1 << "Riga 2: il campo time_ms";
    QTest::newRow("plus sign") << h + "0,+1200,4,-3,131,2,0\n" << -1 << "Riga 2: il campo rpm";
    QTest::newRow("minus alone") << h + "0,1200,4,-,131,2,0\n" << -1
                                 << "Riga 2: il campo cell_value";
    QTest::newRow("negative time") << h + "-1,1200,4,-3,131,2,0\n" << -1
                                   << "Riga 2: il campo time_ms vale -1";
    QTest::newRow("rpm too high") << h + "0,65536,4,-3,131,2,0\n" << -1 << "da 0 a 65535";
    QTest::newRow("cell index 41") << h + "0,1200,41,-3,131,2,0\n" << -1 << "da 0 a 40";
    QTest::newRow("cell value -129") << h + "0,1200,4,-129,131,2,0\n" << -1 << "da -128 a 127";
    QTest::newRow("probe 256") << h + "0,1200,4,-3,256,2,0\n" << -1 << "il campo probe_adc";
    QTest::newRow("K 0") << h + "0,1200,4,-3,131,0,0\n" << -1 << "da 1 a 4";
    QTest::newRow("K 5") << h + "0,1200,4,-3,131,5,0\n" << -1 << "da 1 a 4";
    QTest::newRow("test bench 2") << h + "0,1200,4,-3,131,2,2\n" << -1 << "da 0 a 1";
    QTest::newRow("twenty digits") << h + "0,99999999999999999999,4,-3,131,2,0\n" << -1
                                   << "Riga 2: il campo rpm vale 99999999999999999999";
    QTest::newRow("a place holder in the file") << h + "0,%4,4,-3,131,2,0\n" << -1
                                                << "il campo rpm (\"%4\")";
    QTest::newRow("time going backwards") << h + r1 + r2 + "19,1250,5,7,131,2,1\n" << -1
                                          << "Riga 4: il tempo torna indietro (19 ms dopo 20 ms)";
    // Only a last line without its line end can be a cut-short write.
    QTest::newRow("bad last row with its line end") << h + r1 + "20,1250,5\n" << -1 << "Riga 3:";
    QTest::newRow("bad row before good ones") << h + "x\n" + r1 << -1 << "Riga 2:";
}

void tst_DataLog::read()
{
    QFETCH(QByteArray, data);
    QFETCH(int, rows);
    QFETCH(QString, error);

    CDataLog log = fiveRows(); // a refused file leaves it alone
    QString message;
    const bool ok = parseDataLog(data, &log, &message);
    if (rows < 0) {
        QVERIFY(!ok);
        QVERIFY2(message.contains(error), qPrintable(message));
        QCOMPARE(log.size(), 5);
        return;
    }
    QVERIFY2(ok, qPrintable(message));
    QCOMPARE(log.size(), rows);
    QCOMPARE(log.k.size(), rows);
    QCOMPARE(log.bench.size(), rows);
    if (rows >= 1) {
        const CLiveSample &s = log.samples.first();
        QCOMPARE(s.ms, qint64(0));
        QCOMPARE(s.rpm, 1200);
        QCOMPARE(s.cellIndex, 4);
        QCOMPARE(s.cellValue, -3);
        QCOMPARE(s.adc, 131);
        QCOMPARE(int(log.k.first()), 2);
        QCOMPARE(log.bench.first(), false);
    }
    if (rows >= 2)
        QCOMPARE(log.bench.at(1), true);
}

// Every value the writer can write comes back as it was.
void tst_DataLog::roundTrip()
{
    CDataLog written;
    QByteArray data = kHeader;
    for (int i = 0; i < 600; ++i) {
        const CLiveSample s =
            sample(i * 17, (i * 977) % 65536, i % 41, i % 256 - 128, (i * 7) % 256);
        const int k = 1 + i % 4;
        const bool bench = i % 3 == 0;
        QVERIFY(isDataLogRowValid(s.ms, s, k));
        appendDataLogRow(&data, s.ms, s, k, bench);
        written.samples.append(s);
        written.k.append(qint8(k));
        written.bench.append(bench);
    }
    CDataLog read;
    QString error;
    QVERIFY2(parseDataLog(data, &read, &error), qPrintable(error));
    QCOMPARE(read.size(), written.size());
    for (int i = 0; i < read.size(); ++i) {
        const CLiveSample &a = read.samples.at(i);
        const CLiveSample &b = written.samples.at(i);
        QCOMPARE(a.ms, b.ms);
        QCOMPARE(a.rpm, b.rpm);
        QCOMPARE(a.cellIndex, b.cellIndex);
        QCOMPARE(a.cellValue, b.cellValue);
        QCOMPARE(a.adc, b.adc);
    }
    QCOMPARE(read.k, written.k);
    QCOMPARE(read.bench, written.bench);
    QCOMPARE(read.duration(), qint64(599 * 17));
}

void tst_DataLog::unreadableFile()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("missing.csv"));
    CDataLog log;
    QString error;
    QVERIFY(!readDataLog(path, &log, &error));
    QVERIFY2(error.contains(QDir::toNativeSeparators(path)), qPrintable(error));
}

// A recording as the window runs it: K and the test bench change while it
// runs; rows carry the state of their moment and start at time 0.
void tst_DataLog::recordsRowsInANamedFile()
{
    QTemporaryDir dir;
    CDataLogRecorder recorder;
    QSignalSpy changed(&recorder, &CDataLogRecorder::recordingChanged);
    CDevInfo info;
    info.hardware = 25;
    info.versionMajor = '2';
    info.versionMinor = '3';
    info.revision = '7';

    recorder.addSample(sample(4000, 900, 1, 1, 1)); // before the start: not recorded
    QVERIFY(recorder.start(dir.path(), info, 2, false));
    QVERIFY(recorder.isRecording());
    QCOMPARE(changed.count(), 1);
    const QFileInfo file(recorder.filePath());
    QCOMPARE(file.absolutePath(), QDir(dir.filePath(QStringLiteral("log"))).absolutePath());
    const QRegularExpression name(
        QStringLiteral("^\\d{4}-\\d\\d-\\d\\d_\\d{6}_HW25_V2\\.3-R7\\.csv$"));
    QVERIFY2(name.match(file.fileName()).hasMatch(), qPrintable(file.fileName()));

    recorder.addSample(sample(5000, 1200, 4, -3, 131));
    recorder.setK(3);
    recorder.setBench(true);
    recorder.addSample(sample(5020, 1250, 41, 7, 131)); // a garbled cell index
    recorder.addSample(sample(5040, 1300, 5, 7, 132));
    recorder.stop();
    QVERIFY(!recorder.isRecording());
    QCOMPARE(changed.count(), 2);
    QCOMPARE(changed.at(1).at(0).toBool(), false);
    recorder.addSample(sample(5060, 1400, 6, 8, 133)); // after the stop: not recorded

    QCOMPARE(readFile(file.absoluteFilePath()),
             kHeader + "0,1200,4,-3,131,2,0\n"
                       "40,1300,5,7,132,3,1\n");
    QCOMPARE(recorder.rowCount(), qint64(2));
    QCOMPARE(recorder.skippedCount(), qint64(1));

    // What it wrote replays.
    CLogReplayer replayer;
    QString error;
    QVERIFY2(replayer.load(file.absoluteFilePath(), &error), qPrintable(error));
    QCOMPARE(replayer.duration(), qint64(40));
}

// Files of this second and the next two exist already (any of them may be
// the recording's name): none is touched, the recording gets "_2".
void tst_DataLog::neverReplacesAFile()
{
    QTemporaryDir dir;
    const QDir logDir(dataLogFolder(dir.path()));
    QVERIFY(logDir.mkpath(QStringLiteral(".")));
    const CDevInfo info;
    const QDateTime now = QDateTime::currentDateTime();
    QStringList taken;
    for (int s = 0; s < 3; ++s) {
        taken << logDir.filePath(devInfoFileStem(now.addSecs(s), info) + QStringLiteral(".csv"));
        QVERIFY(writeFile(taken.last(), "keep"));
    }

    CDataLogRecorder recorder;
    QVERIFY(recorder.start(dir.path(), info, 1, false));
    recorder.stop();
    QVERIFY2(recorder.filePath().endsWith(QStringLiteral("_2.csv")),
             qPrintable(recorder.filePath()));
    QVERIFY(!taken.contains(recorder.filePath()));
    for (const QString &path : qAsConst(taken))
        QCOMPARE(readFile(path), QByteArray("keep"));
    QCOMPARE(readFile(recorder.filePath()), kHeader);
}

// Rows reach the file within a second, without a stop; the timer that
// writes them runs only while rows wait (a recording with the link off, and
// the idle program, never wake up for it).
void tst_DataLog::flushesWithinASecondAndOnlyThen()
{
    QTemporaryDir dir;
    CDataLogRecorder recorder;
    auto *timer = recorder.findChild<QTimer *>();
    QVERIFY(timer);
    QVERIFY(recorder.start(dir.path(), CDevInfo(), 1, false));
    QCOMPARE(readFile(recorder.filePath()), kHeader); // the header at once
    QVERIFY(!timer->isActive());

    recorder.addSample(sample(0, 1000, 3, 2, 100));
    recorder.addSample(sample(16, 1010, 3, 2, 100));
    QVERIFY(timer->isActive());
    QCOMPARE(readFile(recorder.filePath()), kHeader); // no write per sample
    QTRY_COMPARE_WITH_TIMEOUT(readFile(recorder.filePath()).count('\n'), 3, 1500);
    QVERIFY(!timer->isActive());
    QVERIFY(recorder.isRecording());
}

void tst_DataLog::reportsAFolderItCannotMake()
{
    QTemporaryDir dir;
    QVERIFY(writeFile(dataLogFolder(dir.path()), "a file where the folder goes"));
    CDataLogRecorder recorder;
    QSignalSpy changed(&recorder, &CDataLogRecorder::recordingChanged);
    QSignalSpy error(&recorder, &CDataLogRecorder::error);

    QVERIFY(!recorder.start(dir.path(), CDevInfo(), 1, false));
    QVERIFY(!recorder.isRecording());
    QCOMPARE(changed.count(), 0);
    QCOMPARE(error.count(), 1);
    const QString message = error.at(0).at(0).toString();
    QVERIFY2(message.contains(QDir::toNativeSeparators(dataLogFolder(dir.path()))),
             qPrintable(message));
}

void tst_DataLog::seek_data()
{
    QTest::addColumn<qint64>("to");
    QTest::addColumn<qint64>("position");
    QTest::addColumn<int>("row");

    QTest::newRow("before the start") << qint64(-5) << qint64(0) << 0;
    QTest::newRow("start") << qint64(0) << qint64(0) << 0;
    QTest::newRow("between rows") << qint64(99) << qint64(99) << 0;
    QTest::newRow("two rows at one time: the later") << qint64(100) << qint64(100) << 2;
    QTest::newRow("just before a row") << qint64(249) << qint64(249) << 2;
    QTest::newRow("end") << qint64(1000) << qint64(1000) << 4;
    QTest::newRow("beyond the end") << qint64(5000) << qint64(1000) << 4;
}

void tst_DataLog::seek()
{
    QFETCH(qint64, to);
    QFETCH(qint64, position);
    QFETCH(int, row);

    CLogReplayer replayer;
    replayer.setLog(fiveRows());
    QSignalSpy samples(&replayer, &CLogReplayer::sampleAt);
    QSignalSpy moved(&replayer, &CLogReplayer::positionChanged);
    replayer.seek(to);

    QCOMPARE(replayer.position(), position);
    QCOMPARE(moved.count(), 1);
    QCOMPARE(moved.at(0).at(0).toLongLong(), position);
    QCOMPARE(samples.count(), 1);
    const CLiveSample s = samples.at(0).at(0).value<CLiveSample>();
    QCOMPARE(s.rpm, 1000 + row);
    QCOMPARE(samples.at(0).at(1).toInt(), 1 + row % 4);
    QCOMPARE(samples.at(0).at(2).toBool(), row % 2 == 1);
}

// At 1x: every row once and in order, the end no sooner than the log's
// length after the start; playing again starts over.
void tst_DataLog::playsEveryRowAtItsPace()
{
    CLogReplayer replayer(nullptr, 10);
    CDataLog log = fiveRows();
    log.samples.last().ms = 300;
    replayer.setLog(log);
    QSignalSpy samples(&replayer, &CLogReplayer::sampleAt);
    QSignalSpy playing(&replayer, &CLogReplayer::playingChanged);
    QSignalSpy finished(&replayer, &CLogReplayer::finished);

    QElapsedTimer clock;
    clock.start();
    replayer.play();
    QVERIFY(replayer.isPlaying());
    QVERIFY(finished.wait(2000));
    QVERIFY(clock.elapsed() >= 300);
    QVERIFY(!replayer.isPlaying());
    QCOMPARE(replayer.position(), qint64(300));
    QCOMPARE(samples.count(), 5);
    for (int i = 0; i < 5; ++i)
        QCOMPARE(samples.at(i).at(0).value<CLiveSample>().rpm, 1000 + i);
    QCOMPARE(playing.count(), 2);
    QCOMPARE(playing.at(0).at(0).toBool(), true);
    QCOMPARE(playing.at(1).at(0).toBool(), false);

    // Again from the start (the row at 0 comes with the jump there); a pause
    // stops it where it is.
    samples.clear();
    replayer.play();
    QCOMPARE(replayer.position(), qint64(0));
    QCOMPARE(samples.count(), 1);
    QTRY_VERIFY(replayer.position() > 0);
    replayer.pause();
    QVERIFY(!replayer.isPlaying());
    QVERIFY(replayer.position() < 300);
}

void tst_DataLog::badFileKeepsTheLogLoaded()
{
    QTemporaryDir dir;
    const QString good = dir.filePath(QStringLiteral("good.csv"));
    const QString bad = dir.filePath(QStringLiteral("bad.csv"));
    QVERIFY(writeFile(good, kHeader + "0,1200,4,-3,131,2,0\n500,1300,5,7,131,2,1\n"));
    QVERIFY(writeFile(bad, kHeader + "0,1200,4,-3,131,2,0\n500,1300,5\n600,1300,5,7,131,2,1\n"));

    CLogReplayer replayer;
    QSignalSpy loaded(&replayer, &CLogReplayer::loaded);
    QString error;
    QVERIFY2(replayer.load(good, &error), qPrintable(error));
    replayer.seek(400);
    QVERIFY(!replayer.load(bad, &error));
    QVERIFY2(error.startsWith(QStringLiteral("Riga 3:")), qPrintable(error));
    QCOMPARE(loaded.count(), 1);
    QCOMPARE(replayer.path(), good);
    QCOMPARE(replayer.samples().size(), 2);
    QCOMPARE(replayer.position(), qint64(400));
}

QTEST_GUILESS_MAIN(tst_DataLog)
#include "tst_datalog.moc"

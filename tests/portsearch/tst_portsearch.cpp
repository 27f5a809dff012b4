// The port search dialog against the ECU simulator: the serial route over real
// pseudo-terminals, the HID route through the hidapi fake.

#include "comm/cdevinfo.h"
#include "comm/frames.h"
#include "ecusimulator.h"
#include "hidfake.h"
#include "mainwindow/cmsg.h"
#include "portsearch/frmricercaporta.h"
#include "portsearch/hiddevice.h"
#include "comm/ceculink.h"
#include "comm/chidtransport.h"
#include "portsearch/portlist.h"
#include "portsearch/virtualports.h"
#include "ptysimserver.h"
#include "support/openports.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QSerialPort>
#include <QSerialPortInfo>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

namespace {

// The virtual-port folder lives in the runtime location: give the test a
// private one before the application object exists.
struct PrivateRuntimeDir
{
    QTemporaryDir dir;
    PrivateRuntimeDir()
    {
        QFile::setPermissions(dir.path(),
                              QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(dir.path()));
    }
};
PrivateRuntimeDir runtimeDir;

const QString StyleFound = QStringLiteral("background-color: rgb(85, 255, 0); color: rgb(85, 0, 255);");
const QString StyleNotFound = QStringLiteral("background-color: rgb(255, 0, 0); color: rgb(255, 255, 0);");

QByteArray frameOf(std::initializer_list<int> bytes)
{
    QByteArray f;
    for (int b : bytes)
        f.append(static_cast<char>(b));
    return f;
}

// A simulator served on a pseudo-terminal that is linked into the
// virtual-port folder under the given name.
struct LinkedSim
{
    EcuSimulator sim;
    PtySimServer server{&sim};
    bool ok = false;

    explicit LinkedSim(const QString &name)
    {
        QDir().mkpath(virtualPortFolder());
        ok = server.open() && server.linkInto(virtualPortFolder(), name);
    }
    QString path() const { return server.linkPath(); }
};

// The dialog with the main window's side of the line: the frames the dialog
// sends go to the line, and every answer that comes while no connection is
// in use goes back to checkReply, as the window hands them on. With `hid`,
// the line opens the ECU's HID device (the hidapi fake) on its own thread.
struct Harness
{
    std::unique_ptr<CEcuLink> link;
    std::unique_ptr<frmRicercaPorta> dlg;
    QList<QByteArray> sent;
    QList<CDevInfo> infos;
    QList<QPair<QString, QString>> results;

    explicit Harness(bool hid = false)
    {
        CHidSource source{QStringLiteral("HID"), nullptr};
        if (hid)
            source.open = [] { return ::openHidDevice(0x04D8, 0x0080); };
        link = std::make_unique<CEcuLink>(source);
        dlg.reset(new frmRicercaPorta(nullptr, link.get()));
        QObject::connect(dlg.get(), &frmRicercaPorta::sgnSndByte, [this](const QByteArray &frame) {
            sent.append(frame);
            link->post(frame);
        });
        QObject::connect(link.get(), &CEcuLink::searchAnswersWaiting, [this] {
            const QList<QByteArray> answers = link->takeSearchAnswers();
            for (const QByteArray &frame : answers)
                dlg->checkReply(frame);
        });
        QObject::connect(dlg.get(), &frmRicercaPorta::sgnDeviceInfo,
                         [this](CDevInfo &info) { infos.append(info); });
        QObject::connect(dlg.get(), &frmRicercaPorta::sgnEsito,
                         [this](const QString &r, const QString &name) { results.append({r, name}); });
    }
    ~Harness()
    {
        dlg.reset();
        link.reset();
    }

    // Whether the line holds the simulator's port open (the server keeps
    // one descriptor of it itself).
    static bool heldOpen(const LinkedSim &ecu)
    {
        return descriptorsOpenOn(ecu.server.slavePath()) > 1;
    }

    QComboBox *list() const { return dlg->findChild<QComboBox *>(QStringLiteral("cbPorteSeriali")); }
    QLabel *status() const { return dlg->findChild<QLabel *>(QStringLiteral("lblStatus")); }
    QLabel *listLabel() const { return dlg->findChild<QLabel *>(QStringLiteral("lblRicerca")); }
    QPushButton *closeButton() const { return dlg->findChild<QPushButton *>(QStringLiteral("btClose")); }

    // Starts a search and picks the entry with the given text.
    bool pick(const QString &name)
    {
        const int index = list()->findText(name);
        if (index < 0)
            return false;
        list()->setCurrentIndex(index);
        return true;
    }
};

bool sameInfo(const CDevInfo &a, const CDevInfo &b)
{
    return a.hardware == b.hardware && a.cylinders == b.cylinders && a.versionMajor == b.versionMajor
           && a.versionMinor == b.versionMinor && a.revision == b.revision;
}

} // namespace

class TestPortSearch : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanup();

    void serialPortNameFilter_data();
    void serialPortNameFilter();
    void portListOrderAndDanglingLinks();
    void retranslateKeepsColours();
    void listWithoutLinksHoldsPlaceholderFirst();

    void serialFound();
    void serialWrongAnswers();
    void serialSilenceTimesOut();
    void placeholderAfterResult();
    void anotherPortAfterSuccess();
    void closeDuringProbe();
    void escapeReportsOnce();
    void portThatCannotBeOpened();
    void probePortNamed();

    void hidFoundAtOnce();
    void hidAttempts_data();
    void hidAttempts();
    void hidWrongAnswerKeepsBufferBytes();
    void openHidDevice();
};

void TestPortSearch::initTestCase()
{
    QStandardPaths::setTestModeEnabled(true);
    QVERIFY(runtimeDir.dir.isValid());
    QCOMPARE(QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation), runtimeDir.dir.path());
    CMsg::buildMessages();
    QCOMPARE(CMsg::messages.value(7), QStringLiteral("Scheda trovata"));
}

void TestPortSearch::cleanup()
{
    hidfake::reset();
    QDir(virtualPortFolder()).removeRecursively();
    QCOMPARE(QApplication::overrideCursor(), nullptr);
}

void TestPortSearch::serialPortNameFilter_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("serial");
    QTest::addColumn<QString>("shown"); // on the main window's port label
    QTest::newRow("windows") << "COM3" << true << "COM3";
    QTest::newRow("windows device path") << "\\\\.\\COM12" << true << "COM12";
    QTest::newRow("usb adapter") << "ttyUSB0" << true << "ttyUSB0";
    QTest::newRow("pseudo-terminal") << "/dev/pts/3" << true << "/dev/pts/3";
    QTest::newRow("virtual port link") << virtualPortFolder() + "/ecu-sim" << true << "ecu-sim";
    QTest::newRow("beside the virtual-port folder")
        << virtualPortFolder() + "-old/ecu-sim" << true << virtualPortFolder() + "-old/ecu-sim";
    QTest::newRow("placeholder") << "<Selezionare una porta>" << false << "<Selezionare una porta>";
    QTest::newRow("empty") << "" << false << "";
    QTest::newRow("macos short name") << "usbmodem" << false << "usbmodem";
    QTest::newRow("lower-case com") << "com3" << false << "com3";
}

void TestPortSearch::serialPortNameFilter()
{
    QFETCH(QString, name);
    QFETCH(bool, serial);
    QFETCH(QString, shown);
    QCOMPARE(isSerialPortName(name), serial);
    QCOMPARE(portDisplayName(name), shown);
}

void TestPortSearch::portListOrderAndDanglingLinks()
{
    const QString folder = virtualPortFolder();
    QVERIFY(QDir().mkpath(folder));
    QTemporaryDir targets;
    QFile b(targets.filePath("b")), a(targets.filePath("a"));
    QVERIFY(b.open(QIODevice::WriteOnly));
    QVERIFY(a.open(QIODevice::WriteOnly));
    QVERIFY(QFile::link(b.fileName(), folder + "/zeta"));
    QVERIFY(QFile::link(a.fileName(), folder + "/alpha"));
    QVERIFY(QFile::link(targets.filePath("gone"), folder + "/dangling"));

    QStringList expected;
    const auto infos = QSerialPortInfo::availablePorts();
    for (const QSerialPortInfo &info : infos)
        expected << info.portName();
    expected << folder + "/alpha" << folder + "/zeta";
    QCOMPARE(serialPortNames(), expected);
}

void TestPortSearch::retranslateKeepsColours()
{
    Harness h;
    h.dlg->onSelezionePortaClicked(QStringLiteral("/nonexistent/ecu-port"));
    QTRY_COMPARE(h.status()->text(), CMsg::messages.value(8));
    h.dlg->retranslateUi();
    QCOMPARE(h.status()->text(), QString());
    QCOMPARE(h.status()->styleSheet(), StyleNotFound);
    // Without a catalogue the form shows its source texts.
    QCOMPARE(h.closeButton()->text(), QStringLiteral("tr(\"Chiudi\")"));
}

void TestPortSearch::listWithoutLinksHoldsPlaceholderFirst()
{
    Harness h;
    h.dlg->startSearch();
    QStringList expected{CMsg::messages.value(6)};
    const auto infos = QSerialPortInfo::availablePorts();
    for (const QSerialPortInfo &info : infos) {
        if (isSerialPortName(info.portName()))
            expected << info.portName();
    }
    QStringList shown;
    for (int i = 0; i < h.list()->count(); ++i)
        shown << h.list()->itemText(i);
    // On a machine without serial ports this is the placeholder alone.
    QCOMPARE(shown, expected);
    QCOMPARE(h.list()->currentIndex(), 0);
    QVERIFY(!h.list()->isHidden());
    QVERIFY(!h.listLabel()->isHidden());
    QVERIFY(h.sent.isEmpty());
}

void TestPortSearch::serialFound()
{
    LinkedSim ecu(QStringLiteral("sim"));
    QVERIFY(ecu.ok);
    Harness h;
    h.dlg->show();
    h.dlg->startSearch();
    QVERIFY(h.pick(ecu.path()));

    // Probing: the controls wait, the probe frame went out.
    QVERIFY(!h.list()->isEnabled());
    QVERIFY(!h.closeButton()->isEnabled());
    QVERIFY(QApplication::overrideCursor());
    QCOMPARE(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
    QTRY_COMPARE(h.sent, QList<QByteArray>{buildInfoFrame()});

    QTRY_COMPARE(h.infos.size(), 1);
    QVERIFY(sameInfo(h.infos.first(), CDevInfo{10, 0, '1', '1', '0'}));
    QCOMPARE(h.status()->text(), CMsg::messages.value(7));
    QCOMPARE(h.status()->styleSheet(), StyleFound);
    QVERIFY(h.list()->isEnabled());
    QVERIFY(h.closeButton()->isEnabled());
    QCOMPARE(QApplication::overrideCursor(), nullptr);
    QCOMPARE(ecu.sim.requests(), QList<QByteArray>{buildInfoFrame()});

    // The time-out is stopped by the result.
    QTest::qWait(700);
    QCOMPARE(h.status()->text(), CMsg::messages.value(7));
    QVERIFY(Harness::heldOpen(ecu));

    h.closeButton()->click();
    QCOMPARE(h.results.size(), 1);
    QCOMPARE(h.results.first().first, QStringLiteral("OK"));
    QCOMPARE(h.results.first().second, ecu.path());
    QVERIFY(Harness::heldOpen(ecu)); // left open for the main window
    QVERIFY(h.dlg->isHidden());
}

void TestPortSearch::serialWrongAnswers()
{
    LinkedSim ecu(QStringLiteral("sim"));
    QVERIFY(ecu.ok);
    Harness h;
    h.dlg->startSearch();

    // A wrong first byte over the line.
    ecu.sim.setFault(EcuSimulator::Fault::WrongByte0);
    QElapsedTimer clock;
    clock.start();
    QVERIFY(h.pick(ecu.path()));
    QTRY_COMPARE(h.status()->text(), CMsg::messages.value(8));
    QVERIFY(clock.elapsed() < 450); // at once, not by the time-out
    QCOMPARE(h.status()->styleSheet(), StyleNotFound);
    QVERIFY(!Harness::heldOpen(ecu));

    // FA followed by anything but C8 is no ECU either.
    ecu.sim.setFault(EcuSimulator::Fault::Silent);
    h.dlg->onSelezionePortaClicked(ecu.path());
    QVERIFY(Harness::heldOpen(ecu));
    QCOMPARE(h.status()->text(), QString());
    QTRY_COMPARE(h.sent.size(), 2); // the probe follows once the line is quiet
    h.dlg->checkReply(frameOf({0xFA, 0xC9, 0x19, 0x19, 0x19, 0x19, 0x19, 0x00}));
    QCOMPARE(h.status()->text(), CMsg::messages.value(8));
    QCOMPARE(h.status()->styleSheet(), StyleNotFound);
    QVERIFY(!Harness::heldOpen(ecu));
    QVERIFY(h.infos.isEmpty());

    h.dlg->close();
    QCOMPARE(h.results, (QList<QPair<QString, QString>>{{"KO", QString()}}));
}

void TestPortSearch::serialSilenceTimesOut()
{
    LinkedSim ecu(QStringLiteral("sim"));
    QVERIFY(ecu.ok);
    ecu.sim.setFault(EcuSimulator::Fault::Silent);
    Harness h;
    h.dlg->startSearch();
    QElapsedTimer clock;
    clock.start();
    QVERIFY(h.pick(ecu.path()));
    QVERIFY(Harness::heldOpen(ecu));
    QTRY_COMPARE_WITH_TIMEOUT(h.status()->text(), CMsg::messages.value(8), 3000);
    QVERIFY2(clock.elapsed() >= 450 && clock.elapsed() < 1500, qPrintable(QString::number(clock.elapsed())));
    QCOMPARE(h.status()->styleSheet(), StyleNotFound);
    QVERIFY(!Harness::heldOpen(ecu));
    QCOMPARE(QApplication::overrideCursor(), nullptr);

    // A reply that comes after the time-out is ignored.
    h.dlg->checkReply(frameOf({0xFA, 0xC8, 0, 0, 0, 0, 0, 0xC2}));
    QCOMPARE(h.status()->text(), CMsg::messages.value(8));
    QVERIFY(h.infos.isEmpty());

    // No second time-out: the timer stopped with the result.
    h.status()->clear();
    QTest::qWait(700);
    QCOMPARE(h.status()->text(), QString());

    h.dlg->close();
    QCOMPARE(h.results, (QList<QPair<QString, QString>>{{"KO", QString()}}));
}

void TestPortSearch::placeholderAfterResult()
{
    LinkedSim ecu(QStringLiteral("sim"));
    QVERIFY(ecu.ok);
    Harness h;
    h.dlg->startSearch();
    QVERIFY(h.pick(ecu.path()));
    QTRY_COMPARE(h.status()->text(), CMsg::messages.value(7));

    h.list()->setCurrentIndex(0);
    QCOMPARE(h.status()->text(), QString());
    QCOMPARE(h.status()->styleSheet(), QString());
    QCOMPARE(h.sent.size(), 1);
    QTest::qWait(100);
    QCOMPARE(ecu.sim.requests().size(), 1);

    h.dlg->close();
    QCOMPARE(h.results, (QList<QPair<QString, QString>>{{"KO", QString()}}));
}

void TestPortSearch::anotherPortAfterSuccess()
{
    LinkedSim first(QStringLiteral("simA"));
    LinkedSim second(QStringLiteral("simB"));
    QVERIFY(first.ok);
    QVERIFY(second.ok);
    Harness h;
    h.dlg->startSearch();
    QVERIFY(h.list()->findText(first.path()) < h.list()->findText(second.path()));

    QVERIFY(h.pick(first.path()));
    QTRY_COMPARE(h.infos.size(), 1);
    QVERIFY(Harness::heldOpen(first));

    QVERIFY(h.pick(second.path()));
    QVERIFY(!Harness::heldOpen(first));
    QVERIFY(Harness::heldOpen(second));
    QTRY_COMPARE(h.infos.size(), 2);
    QCOMPARE(h.status()->text(), CMsg::messages.value(7));
    QCOMPARE(first.sim.requests().size(), 1);
    QCOMPARE(second.sim.requests(), QList<QByteArray>{buildInfoFrame()});

    h.dlg->close();
    QCOMPARE(h.results, (QList<QPair<QString, QString>>{{"OK", second.path()}}));
}

void TestPortSearch::closeDuringProbe()
{
    LinkedSim ecu(QStringLiteral("sim"));
    QVERIFY(ecu.ok);
    ecu.sim.setFault(EcuSimulator::Fault::Silent);
    Harness h;
    h.dlg->show();
    h.dlg->startSearch();
    QVERIFY(h.pick(ecu.path()));
    QVERIFY(Harness::heldOpen(ecu));

    h.dlg->close();
    QCOMPARE(h.results, (QList<QPair<QString, QString>>{{"KO", QString()}}));
    QVERIFY(!Harness::heldOpen(ecu));
    QCOMPARE(QApplication::overrideCursor(), nullptr);
    QVERIFY(h.closeButton()->isEnabled());
    QVERIFY(h.list()->isEnabled());

    // The probe is over: no late time-out result.
    QTest::qWait(700);
    QCOMPARE(h.status()->text(), QString());
    QCOMPARE(h.results.size(), 1);

    // A new search starts from a clean list.
    h.dlg->show();
    h.dlg->startSearch();
    QCOMPARE(h.list()->currentIndex(), 0);
    QVERIFY(h.list()->isEnabled());
}

void TestPortSearch::escapeReportsOnce()
{
    LinkedSim ecu(QStringLiteral("sim"));
    QVERIFY(ecu.ok);
    Harness h;
    h.dlg->show();
    h.dlg->startSearch();
    QVERIFY(h.pick(ecu.path()));
    QTRY_COMPARE(h.infos.size(), 1);

    QTest::keyClick(h.dlg.get(), Qt::Key_Escape);
    QVERIFY(h.dlg->isHidden());
    QCOMPARE(h.results, (QList<QPair<QString, QString>>{{"OK", ecu.path()}}));

    // Each closing reports once.
    h.dlg->show();
    h.dlg->close();
    QCOMPARE(h.results.size(), 2);
}

void TestPortSearch::portThatCannotBeOpened()
{
    Harness h;
    h.dlg->startSearch();
    const QString missing = runtimeDir.dir.filePath(QStringLiteral("no-such-tty"));
    h.dlg->onSelezionePortaClicked(missing);
    QTRY_COMPARE(h.sent, QList<QByteArray>{buildInfoFrame()});
    QTRY_COMPARE_WITH_TIMEOUT(h.status()->text(), CMsg::messages.value(8), 3000);
    QCOMPARE(h.status()->styleSheet(), StyleNotFound);
    QVERIFY(h.list()->isEnabled());

    h.dlg->close();
    QCOMPARE(h.results, (QList<QPair<QString, QString>>{{"KO", QString()}}));
}

// The probe of a port named on the command line: only an answer on that
// probe closes the dialog.
void TestPortSearch::probePortNamed()
{
    LinkedSim ecu(QStringLiteral("sim"));
    QVERIFY(ecu.ok);
    ecu.sim.setFault(EcuSimulator::Fault::Silent);
    Harness h;
    h.dlg->show();

    // A device path the list lacks is added and probed; silence leaves the
    // dialog open with the usual result.
    h.dlg->probePort(ecu.server.slavePath());
    QCOMPARE(h.list()->currentText(), ecu.server.slavePath());
    QTRY_COMPARE_WITH_TIMEOUT(h.status()->text(), CMsg::messages.value(8), 3000);
    QVERIFY(h.dlg->isVisible());
    QVERIFY(h.results.isEmpty());

    // A port the user picks afterwards does not close it.
    ecu.sim.setFault(EcuSimulator::Fault::None);
    QVERIFY(h.pick(ecu.path()));
    QTRY_COMPARE(h.infos.size(), 1);
    QVERIFY(h.dlg->isVisible());

    h.dlg->probePort(ecu.path());
    QTRY_VERIFY(h.dlg->isHidden());
    QCOMPARE(h.infos.size(), 2);
    QCOMPARE(h.results, (QList<QPair<QString, QString>>{{"OK", ecu.path()}}));
}

void TestPortSearch::hidFoundAtOnce()
{
    EcuSimulator sim;
    sim.setIdentity(EcuSimulator::Identity{21, 4, '2', '0', '3'});
    hidfake::attach(&sim);
    Harness h(true);
    QVERIFY(h.link->hasHid());
    h.dlg->show();
    h.dlg->startSearch();

    QVERIFY(h.list()->isHidden());
    QVERIFY(h.listLabel()->isHidden());
    QTRY_COMPARE(h.infos.size(), 1); // answered on the HID thread
    QVERIFY(sameInfo(h.infos.first(), CDevInfo{21, 4, '2', '0', '3'}));
    QCOMPARE(h.status()->text(), CMsg::messages.value(7));
    QCOMPARE(h.status()->styleSheet(), StyleFound);
    QVERIFY(h.sent.isEmpty()); // the HID route never uses the serial line

    const QList<QByteArray> reports = hidfake::writtenReports();
    QCOMPARE(reports.size(), 1);
    QByteArray expected(65, '\0');
    expected[1] = static_cast<char>(0xFA);
    QCOMPARE(reports.first(), expected);

    h.dlg->close();
    QCOMPARE(h.results, (QList<QPair<QString, QString>>{{"OK", "HID"}}));
}

void TestPortSearch::hidAttempts_data()
{
    QTest::addColumn<int>("failures");
    QTest::addColumn<bool>("found");
    QTest::newRow("found on the fifth attempt") << 4 << true;
    QTest::newRow("five failures") << 5 << false;
}

void TestPortSearch::hidAttempts()
{
    QFETCH(int, failures);
    QFETCH(bool, found);
    EcuSimulator sim;
    sim.setIdentity(EcuSimulator::Identity{12, 2, '1', '4', '7'});
    hidfake::attach(&sim);
    hidfake::setReadFails(failures);
    Harness h(true);
    QVERIFY(h.link->hasHid());
    h.dlg->startSearch();

    QTRY_VERIFY_WITH_TIMEOUT(h.infos.size() == 1 || !h.list()->isHidden(), 5000);
    QCOMPARE(hidfake::writtenReports().size(), 5);
    QCOMPARE(h.infos.size(), found ? 1 : 0);
    QCOMPARE(h.list()->isHidden(), found);
    QCOMPARE(h.listLabel()->isHidden(), found);
    if (found) {
        QVERIFY(sameInfo(h.infos.first(), CDevInfo{12, 2, '1', '4', '7'}));
    } else {
        // The serial list takes over, neutral.
        QCOMPARE(h.list()->itemText(0), CMsg::messages.value(6));
        QCOMPARE(h.status()->text(), QString());
        QCOMPARE(h.status()->styleSheet(), QString());
    }
    h.dlg->close();
    QCOMPARE(h.results, (QList<QPair<QString, QString>>{{found ? "OK" : "KO", found ? "HID" : ""}}));
}

void TestPortSearch::hidWrongAnswerKeepsBufferBytes()
{
    // The report buffer is zeroed once: a later request carries what the
    // previous answer left behind bytes 0 and 1.
    EcuSimulator sim;
    sim.setIdentity(EcuSimulator::Identity{21, 4, '2', '0', '3'});
    sim.setFault(EcuSimulator::Fault::WrongByte0);
    hidfake::attach(&sim);
    Harness h(true);
    QVERIFY(h.link->hasHid());
    h.dlg->startSearch();

    QTRY_VERIFY_WITH_TIMEOUT(!h.list()->isHidden(), 5000);
    const QList<QByteArray> reports = hidfake::writtenReports();
    QCOMPARE(reports.size(), 5);
    QVERIFY(h.infos.isEmpty());
    QVERIFY(!h.list()->isHidden());
    const QByteArray second = reports.at(1);
    QCOMPARE(second.size(), 65);
    QCOMPARE(static_cast<quint8>(second.at(0)), quint8(0x00));
    QCOMPARE(static_cast<quint8>(second.at(1)), quint8(0xFA));
    QCOMPARE(second.mid(2, 5), frameOf({21, 4, '2', '0', '3'}));
}

void TestPortSearch::openHidDevice()
{
    QCOMPARE(::openHidDevice(0x04D8, 0x0080), nullptr);

    EcuSimulator sim;
    hidfake::attach(&sim);
    QCOMPARE(::openHidDevice(0x04D8, 0x0081), nullptr); // another device's ids
    hid_device *dev = ::openHidDevice(0x04D8, 0x0080);
    QVERIFY(dev);
    // The handle is live: a probe report gets the ECU's answer.
    unsigned char buf[65] = {0x00, 0xFA};
    QCOMPARE(hid_write(dev, buf, sizeof buf), 65);
    QVERIFY(hid_read_timeout(dev, buf, sizeof buf, HidReadTimeoutMs) > 0);
    QCOMPARE(buf[0], quint8(0xFA));
    QCOMPARE(buf[1], quint8(0xC8));
    hid_close(dev);
}

QTEST_MAIN(TestPortSearch)
#include "tst_portsearch.moc"

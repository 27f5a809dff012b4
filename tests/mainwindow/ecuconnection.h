#pragma once

// Connecting the real main window to the ECU simulator over a real
// pseudo-terminal, the way a user does it: port search, pick the port,
// close the dialog.

#include "ecusimulator.h"
#include "mainwindowprobe.h"
#include "portsearch/frmricercaporta.h"
#include "portsearch/virtualports.h"
#include "ptysimserver.h"
#include "support/openports.h"

#include <QComboBox>
#include <QFile>
#include <QPushButton>
#include <QTemporaryDir>
#include <memory>

// The virtual-port folder lives in the runtime location: each test program
// gets a private one before the application object exists.
struct PrivateRuntimeDir
{
    QTemporaryDir dir;
    PrivateRuntimeDir()
    {
        QFile::setPermissions(dir.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner
                                              | QFileDevice::ExeOwner);
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(dir.path()));
    }
};
inline PrivateRuntimeDir privateRuntimeDir;

// A simulator served on a pseudo-terminal linked into the virtual-port folder.
struct SimulatedEcu
{
    EcuSimulator sim;
    std::unique_ptr<PtySimServer> server;

    explicit SimulatedEcu(const QString &name = QStringLiteral("sim"), bool paced = false)
    {
        server = std::make_unique<PtySimServer>(&sim);
        if (!server->open())
            qFatal("cannot open a pseudo-terminal");
        server->setPaced(paced);
        if (!server->linkInto(virtualPortFolder(), name))
            qFatal("cannot link the pseudo-terminal");
    }
    QString path() const { return server->linkPath(); }
    // Whether the program holds the simulator's port open (the server
    // itself keeps one descriptor of it).
    bool heldOpen() const { return descriptorsOpenOn(server->slavePath()) > 1; }
};

// Short answer time-outs for tests; the budgets stay those of the program
// unless a test asks for less.
inline CWorkerTimings shortTimings(int transferRetries = 20, int linkRetries = 30,
                                   int transferTimeoutMs = 100)
{
    CWorkerTimings t;
    // CTest stretches the answer time-out (busy machine, sanitized builds).
    t.transferTimeoutMs = transferTimeoutMs * qMax(1, qEnvironmentVariableIntValue("VANTOR_TEST_TIMEOUT_SCALE"));
    t.transferRetries = transferRetries;
    t.linkTimeoutMs = 50;
    t.linkRetries = linkRetries;
    return t;
}

// Runs the port search on the serial route and picks the simulator's port.
// Returns the status text the dialog shows; the dialog stays open.
inline QString searchAndPick(frmProgPannel &w, const QString &portPath, int timeoutMs = 3000)
{
    MainWindowProbe p(w);
    w.onCercaPortaClicked();
    QDialog *dialog = static_cast<QDialog *>(p.ricercaPorta());
    auto *list = dialog->findChild<QComboBox *>(QStringLiteral("cbPorteSeriali"));
    auto *status = dialog->findChild<QLabel *>(QStringLiteral("lblStatus"));
    const int index = list->findText(portPath);
    if (index < 0)
        return QStringLiteral("port not listed");
    list->setCurrentIndex(index);
    QElapsedTimer t;
    t.start();
    while (status->text().isEmpty() && t.elapsed() < timeoutMs)
        QTest::qWait(10);
    return status->text();
}

// Search, pick, close the dialog: the main window then reads the profile.
// Waits until the read has ended (the read button is enabled again).
inline bool connectToEcu(frmProgPannel &w, const QString &portPath, int timeoutMs = 15000)
{
    MainWindowProbe p(w);
    searchAndPick(w, portPath);
    static_cast<QDialog *>(p.ricercaPorta())->close();
    if (!p.connected())
        return false;
    auto *read = widget<QPushButton>(w, "btReadFlash");
    QElapsedTimer t;
    t.start();
    QTest::qWait(20);
    while (!read->isEnabled() && p.connected() && t.elapsed() < timeoutMs)
        QTest::qWait(10);
    return read->isEnabled() && p.connected();
}

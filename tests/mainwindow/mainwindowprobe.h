#pragma once

// Test access to the main window's state, and helpers shared by the main
// window's tests.

#include "comm/cdevinfo.h"
#include "comm/ceculink.h"
#include "comm/ecucommands.h"
#include "mainwindow/frmprogpannel.h"
#include "profile/profiledocument.h"
#include "profile/profileplot.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QSettings>
#include <QStandardPaths>
#include <QTimer>
#include <QWindow>
#include <QtTest>
#include <functional>
#include <qwt_plot.h>
#include <qwt_plot_canvas.h>
#include <qwt_plot_curve.h>

class CanvasPicker;
class CReadoutPacer;
class CCellTimeView;
class CDataLogDock;
class CWorkbenchViews;
class CRecentFiles;
class CGestRT;
class CGestReceive;
class CGestSend;
class CRpmGauge;
class frmAbout;
class frmLogin;
class frmRicercaPorta;

class MainWindowProbe
{
public:
    explicit MainWindowProbe(frmProgPannel &w) : w(w) {}

    CEcuSession &session() { return *w.session; }
    CProfileDocument &document() { return *w.document; }
    CProfilePlot &plot() { return *w.plot; }
    CDataLogDock *dataLogDock() { return w.dataLogDock; }
    CWorkbenchViews *views() { return w.views; }
    CCellTimeView *cellTime() { return w.cellTime; }
    CRecentFiles *recentFiles() { return w.recentFiles; }
    bool connected() const { return w.session->isConnected(); }
    bool linkOn() const { return w.session->linkOn(); }
    bool bancoOn() const { return w.session->benchOn(); }
    bool profileFileShown() const { return w.document->fileShown(); }
    CDevInfo devInfo() const { return w.session->devInfo(); }
    QString portName() const { return w.session->portName(); }
    double maxRpm() const { return w.document->maxRpm(); }
    float valueMin() const { return w.document->valueRange().valueMin; }
    float valueMax() const { return w.document->valueRange().valueMax; }
    int valueAxisStep() const { return w.document->valueRange().valueAxisStep; }
    int keyStepPixels() const { return w.document->valueRange().keyStepPixels; }
    QLabel *deviceInfoLabel() { return w.deviceInfoLabel; }
    QLabel *profileNameLabel() { return w.profileNameLabel; }
    CanvasPicker *picker() { return w.plot->picker(); }
    QwtPlotCurve *curve() { return w.plot->profileCurve(); }
    CProfileModel &model() { return *w.document->model(); }
    CLiveCellMarker &liveCell() { return *w.plot->liveCell(); }
    QwtPlotCurve *referenceCurve() { return w.plot->referenceCurve(); }
    QwtPlotCurve *rangeCurve() { return w.plot->rangeCurve(); }
    QLabel *selectionLabel() { return w.selectionLabel; }
    CRpmGauge *gauge() { return w.rpmGauge; }
    CReadoutPacer *readouts() { return w.readouts; }
    CGestRT *gestRT() { return w.session->gestRT(); }
    CGestSend *gestSend() { return w.session->gestSend(); }
    CGestReceive *gestReceive() { return w.session->gestReceive(); }
    frmRicercaPorta *ricercaPorta() { return w.ricercaPorta; }
    frmLogin *loginDialog() { return w.login(); }
    frmAbout *aboutDialog() { return w.about(); }
    bool hasHid() { return w.session->link()->hasHid(); }

    void retranslateAll() { w.retranslateAll(); }
    // The ECU's hardware version as if it had reported it.
    void setHardware(int hardware)
    {
        CDevInfo info = w.session->devInfo();
        info.hardware = static_cast<quint8>(hardware);
        w.session->setDevInfo(info);
    }
    // A profile file shown, as after a save of the profile on screen.
    void showFile(const QString &path)
    {
        QString error;
        QVERIFY2(w.document->save(path, &error), qPrintable(error));
    }

    QVector<double> profile() const { return w.document->model()->values(); }
    void setProfile(const QVector<double> &values) { w.document->model()->replaceValues(values); }
    FileOutcome loadProfileFile() { return w.loadProfileFile(QString()); }
    FileOutcome saveProfileFile() { return w.saveProfileFile(); }
    // The command name as the real-time worker hands it back, whether or not
    // the window asked for it.
    void execCmd(const QString &cmd) { w.execCmd(cmd); }
    // A file command asked for as the panel's buttons ask for it, run to its
    // end (its dialogs answered by the test).
    void runCommand(const QString &cmd)
    {
        QVERIFY(w.session->requestCommand(cmd));
        QTRY_VERIFY(w.session->state() != CEcuSession::State::CommandPending
                    && w.session->state() != CEcuSession::State::Command);
    }

private:
    frmProgPannel &w;
};

template <typename T>
T *widget(frmProgPannel &w, const char *name)
{
    T *child = w.findChild<T *>(QLatin1String(name));
    if (!child)
        qFatal("no widget %s", name);
    return child;
}

// Answers the next modal dialog of type T (a file dialog, a message box)
// with the given action, as soon as it shows. Gives up after timeoutMs.
template <typename T>
void answerNextDialog(std::function<void(T *)> action, int timeoutMs = 10000)
{
    auto *timer = new QTimer;
    auto *elapsed = new QElapsedTimer;
    elapsed->start();
    timer->setInterval(20);
    QObject::connect(timer, &QTimer::timeout, [timer, elapsed, action, timeoutMs]() {
        for (QWidget *top : QApplication::topLevelWidgets()) {
            if (auto *dialog = qobject_cast<T *>(top); dialog && dialog->isVisible()) {
                timer->stop();
                timer->deleteLater();
                delete elapsed;
                action(dialog);
                return;
            }
        }
        if (elapsed->elapsed() > timeoutMs) {
            timer->stop();
            timer->deleteLater();
            delete elapsed;
        }
    });
    timer->start();
}

// Puts a path into a file dialog as a user would type it.
inline void chooseFile(QFileDialog *dialog, const QString &path)
{
    dialog->selectFile(path);
    if (auto *edit = dialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit")))
        edit->setText(path);
}

// Chooses the given file in the next file dialog (an empty path cancels it).
inline void answerFileDialog(const QString &path)
{
    answerNextDialog<QFileDialog>([path](QFileDialog *dialog) {
        if (path.isEmpty()) {
            dialog->reject();
            return;
        }
        chooseFile(dialog, path);
        static_cast<QDialog *>(dialog)->accept();
    });
}

// Records the title and text of the next message box and closes it.
struct MessageBoxSeen
{
    QString title;
    QString text;
    bool seen = false;
};

inline void answerMessageBox(MessageBoxSeen *seen)
{
    answerNextDialog<QMessageBox>([seen](QMessageBox *box) {
        seen->title = box->windowTitle();
        seen->text = box->text();
        seen->seen = true;
        box->accept();
    });
}

// The title as the window system shows it: "[*]" becomes "*" for an edited
// profile and nothing otherwise.
inline QString shownTitle(QWidget &w)
{
    w.winId(); // the native window carries the shown title
    return w.windowHandle()->title();
}

// A private settings store for the test program, emptied.
inline void useTestSettings()
{
    QStandardPaths::setTestModeEnabled(true);
    QCoreApplication::setApplicationName(QStringLiteral("ECU Vantor"));
    QCoreApplication::setApplicationVersion(QStringLiteral("2.0.0.1"));
    QCoreApplication::setOrganizationName(QStringLiteral("vantor"));
    QSettings().clear();
}

#pragma once

// Test access to the main window's state, and helpers shared by the main
// window's tests.

#include "comm/cdevinfo.h"
#include "mainwindow/frmprogpannel.h"

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
class CGestRT;
class CGestReceive;
class CGestSend;
class CRpmGauge;
class QSerialPort;
class frmAbout;
class frmLogin;
class frmRicercaPorta;

class MainWindowProbe
{
public:
    explicit MainWindowProbe(frmProgPannel &w) : w(w) {}

    bool &connected() { return w.connected; }
    bool &linkOn() { return w.linkOn; }
    bool &bancoOn() { return w.bancoOn; }
    bool &profileFileShown() { return w.profileFileShown; }
    CDevInfo &devInfo() { return w.devInfo; }
    QString &portName() { return w.portName; }
    double maxRpm() const { return w.maxRpm; }
    float valueMin() const { return w.valueMin; }
    float valueMax() const { return w.valueMax; }
    int valueAxisStep() const { return w.valueAxisStep; }
    int keyStepPixels() const { return w.keyStepPixels; }
    QByteArray &flashBuffer() { return w.flashBuffer; }
    QLabel *deviceInfoLabel() { return w.deviceInfoLabel; }
    QLabel *profileNameLabel() { return w.profileNameLabel; }
    CanvasPicker *picker() { return w.picker; }
    QwtPlotCurve *curve() { return w.profileCurve; }
    CProfileModel &model() { return w.profileModel; }
    CLiveCellMarker &liveCell() { return w.liveCell; }
    QwtPlotCurve *referenceCurve() { return w.referenceCurve; }
    QwtPlotCurve *rangeCurve() { return w.rangeCurve; }
    QLabel *selectionLabel() { return w.selectionLabel; }
    CRpmGauge *gauge() { return w.rpmGauge; }
    QSerialPort *port() { return w.port; }
    CGestRT *gestRT() { return w.gestRT; }
    CGestSend *gestSend() { return w.gestSend; }
    CGestReceive *gestReceive() { return w.gestReceive; }
    frmRicercaPorta *ricercaPorta() { return w.ricercaPorta; }
    frmLogin *loginDialog() { return w.loginDialog; }
    frmAbout *aboutDialog() { return w.aboutDialog; }

    hid_device *hidDevice() { return w.hidDevice; }
    QByteArray &rxFrame() { return w.rxFrame; }
    void applyFlashImage() { w.applyFlashImage(); }
    void setTransferControlsEnabled(bool enabled) { w.setTransferControlsEnabled(enabled); }
    void retranslateAll() { w.retranslateAll(); }
    void setupPlot() { w.setupPlot(); }
    void setFlatCurve(double v) { w.setFlatCurve(v); }

    QVector<double> profile() const { return w.profileValues(); }
    void setProfile(const QVector<double> &values) { w.setProfileValues(values); }
    FileOutcome loadProfileFile() { return w.loadProfileFile(); }
    FileOutcome saveProfileFile() { return w.saveProfileFile(); }
    void execCmd(const QString &cmd) { w.execCmd(cmd); }

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

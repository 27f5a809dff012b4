#include "frmricercaporta.h"
#include "ui_frmricercaporta.h"

#include "comm/ceculink.h"
#include "comm/frames.h"
#include "hiddevice.h"
#include "hidprobe.h"
#include "probe.h"
#include "mainwindow/cmsg.h"
#include "portlist.h"

#include <QApplication>
#include <QCloseEvent>
#include <QTimer>

#include <cstdio>

namespace {

using EcuSearch::HidAttempts;
using EcuSearch::HidPortName;
using EcuSearch::ReplyTimeoutMs;
using EcuSearch::SettleMs;

const char *const ResultOk = "OK";
const char *const ResultKo = "KO";

const char *const StyleFound = "background-color: rgb(85, 255, 0); color: rgb(85, 0, 255);";
const char *const StyleNotFound = "background-color: rgb(255, 0, 0); color: rgb(255, 255, 0);";

enum MessageKey { MsgChoosePort = 6, MsgFound = 7, MsgNotFound = 8 };

} // namespace

QString frmRicercaPorta::hidPortName()
{
    return QLatin1String(HidPortName);
}

frmRicercaPorta::frmRicercaPorta(QWidget *parent, CEcuLink *link)
    : QDialog(parent), ui(new Ui::frmRicercaPorta), link(link), timer(new QTimer),
      settleTimer(new QTimer(this))
{
    ui->setupUi(this);
    setWindowFlags(Qt::Dialog | Qt::WindowCloseButtonHint);

    timer->setInterval(ReplyTimeoutMs);
    timer->setSingleShot(false);
    // Precise: a coarse timer may fire up to 25 ms late and take an answer
    // that came after the 500 ms.
    timer->setTimerType(Qt::PreciseTimer);

    connect(this, &frmRicercaPorta::sgnClose, this, &frmRicercaPorta::onClose);
    connect(ui->cbPorteSeriali, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
            [this](int index) { onSelezionePortaClicked(ui->cbPorteSeriali->itemText(index)); });
    connect(timer, &QTimer::timeout, this, &frmRicercaPorta::onTimeout);
    settleTimer->setSingleShot(true);
    settleTimer->setInterval(SettleMs);
    connect(settleTimer, &QTimer::timeout, this, &frmRicercaPorta::sendProbe);
    connect(ui->btClose, &QPushButton::clicked, this, &QWidget::close);
    connect(link, &CEcuLink::hidProbed, this, &frmRicercaPorta::onHidProbe);
}

frmRicercaPorta::~frmRicercaPorta()
{
    // The ports and the HID device belong to the line.
    if (waitCursor)
        QApplication::restoreOverrideCursor();
    delete timer;
    delete ui;
}

void frmRicercaPorta::startSearch()
{
    if (link->hasHid()) {
        // The HID device is asked first, on its own thread; the answer (or
        // the end of all attempts) comes back to onHidProbe.
        ui->cbPorteSeriali->hide();
        ui->lblRicerca->hide();
        ui->lblStatus->setText(QString());
        ui->lblStatus->setStyleSheet(QString());
        hidProbing = true;
        link->probeHid(HidAttempts);
        return;
    }
    listSerialPorts();
}

void frmRicercaPorta::onHidProbe(const QByteArray &report)
{
    if (!hidProbing)
        return; // the search was closed meanwhile
    hidProbing = false;
    CDevInfo info;
    if (report.size() >= FrameSize
        && parseHidProbeAnswer(reinterpret_cast<const unsigned char *>(report.constData()),
                               report.size(), info)) {
        emit sgnDeviceInfo(info);
        portName = QLatin1String(HidPortName);
        showResult(QLatin1String(ResultOk));
        return;
    }
    // The HID device did not answer: offer the serial ports instead.
    listSerialPorts();
}

void frmRicercaPorta::listSerialPorts()
{
    ui->cbPorteSeriali->show();
    ui->lblRicerca->show();
    ui->cbPorteSeriali->setEnabled(true);
    ui->btClose->setEnabled(true);
    ui->lblStatus->setText(QString());
    ui->lblStatus->setStyleSheet(QString());

    // Each change of the current entry (clear, the placeholder) goes through
    // onSelezionePortaClicked, which clears the status and portName.
    ui->cbPorteSeriali->clear();
    ui->cbPorteSeriali->addItem(CMsg::messages.value(MsgChoosePort));
    const QStringList names = serialPortNames();
    for (const QString &name : names) {
        if (isSerialPortName(name))
            ui->cbPorteSeriali->addItem(name);
    }
}

void frmRicercaPorta::probePort(const QString &name)
{
    listSerialPorts(); // the port named is asked, not the HID device
    if (ui->cbPorteSeriali->findText(name) < 0)
        ui->cbPorteSeriali->addItem(name);
    closeWhenFound = true;
    ui->cbPorteSeriali->setCurrentIndex(ui->cbPorteSeriali->findText(name));
}

void frmRicercaPorta::checkReply(const QByteArray &reply)
{
    if (!searching)
        return;
    const bool found = isProbeFound(reply);
    const bool closeNow = found && closeWhenFound;
    showResult(QLatin1String(found ? ResultOk : ResultKo));
    if (found) {
        // The serial route does not read the identity from the reply: it
        // reports the fixed record {10, 0, '1', '1', '0'}, CDevInfo's defaults.
        CDevInfo info;
        emit sgnDeviceInfo(info);
    }
    if (closeNow)
        close();
}

void frmRicercaPorta::retranslateUi()
{
    ui->retranslateUi(this);
    ui->lblStatus->setText(QString());
}

void frmRicercaPorta::onSelezionePortaClicked(const QString &name)
{
    ui->lblStatus->setText(QString());
    ui->lblStatus->setStyleSheet(QString());
    portName.clear();

    if (!isSerialPortName(name))
        return;

    portName = name;
    ui->cbPorteSeriali->setEnabled(false);
    ui->btClose->setEnabled(false);
    if (!waitCursor) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        waitCursor = true;
    }

    // The port opened before is closed, and this one opened on a line
    // thread of its own (its input cleared). A port that cannot be opened
    // yields "not found" by the time-out.
    (void)link->openPort(name);

    // The probe goes out once the line has had a moment to fall quiet.
    searching = false;
    timer->stop();
    settling = true;
    settleTimer->start();
}

void frmRicercaPorta::sendProbe()
{
    if (!settling)
        return;
    settling = false;
    // Armed before the frame goes out, so that an answer handed back while
    // the frame is being written is not missed.
    timer->start(ReplyTimeoutMs);
    searching = true;
    emit sgnSndByte(buildInfoFrame());
}

void frmRicercaPorta::onSendSerialData(const QByteArray &frame)
{
    emit sgnSndByte(frame);
}

void frmRicercaPorta::onTimeout()
{
    showResult(QLatin1String(ResultKo));
}

void frmRicercaPorta::onClose()
{
    // The HID identity request still running is given up.
    if (hidProbing) {
        hidProbing = false;
        link->abortHidProbe();
    }
    // A probe still in flight ends here: its port is given up, and the
    // result is "KO" rather than the name of a port about to be closed.
    if (searching || settling) {
        endProbe();
        link->closePort();
        portName.clear();
    }

    if (portName.isEmpty())
        emit sgnEsito(QLatin1String(ResultKo), QString());
    else
        emit sgnEsito(QLatin1String(ResultOk), portName);
    close(); // does nothing while this close is in progress
}

void frmRicercaPorta::reject()
{
    // Escape closes the dialog like its close buttons, so the result is
    // reported.
    close();
}

void frmRicercaPorta::closeEvent(QCloseEvent *event)
{
    emit sgnClose();
    event->accept();
}

// Ends the probe's waiting: timer, flag, wait cursor, disabled controls.
void frmRicercaPorta::endProbe()
{
    timer->stop();
    settleTimer->stop();
    searching = false;
    settling = false;
    closeWhenFound = false; // only the probe of probePort closes the dialog
    if (waitCursor) {
        QApplication::restoreOverrideCursor();
        waitCursor = false;
    }
    ui->cbPorteSeriali->setEnabled(true);
    ui->btClose->setEnabled(true);
}

void frmRicercaPorta::showResult(const QString &result)
{
    endProbe();

    if (result == QLatin1String(ResultOk)) {
        ui->lblStatus->setText(CMsg::messages.value(MsgFound));
        ui->lblStatus->setStyleSheet(QLatin1String(StyleFound));
    } else {
        ui->lblStatus->setStyleSheet(QLatin1String(StyleNotFound));
        ui->lblStatus->setText(CMsg::messages.value(MsgNotFound));
        portName.clear();
        link->closePort();
    }
}

#include "frmricercaporta.h"
#include "ui_frmricercaporta.h"

#include "comm/frames.h"
#include "hiddevice.h"
#include "hidprobe.h"
#include "mainwindow/cmsg.h"
#include "portlist.h"

#include <QApplication>
#include <QCloseEvent>
#include <QSerialPort>
#include <QTimer>

#include <cstdio>

namespace {

constexpr int ReplyTimeoutMs = 500;
constexpr int HidAttempts = 5;
constexpr int HidReportSize = 65;
constexpr int HidRequestByte = 0xFA;

const char *const ResultOk = "OK";
const char *const ResultKo = "KO";
const char *const HidPortName = "HID";

const char *const StyleFound = "background-color: rgb(85, 255, 0); color: rgb(85, 0, 255);";
const char *const StyleNotFound = "background-color: rgb(255, 0, 0); color: rgb(255, 255, 0);";

enum MessageKey { MsgChoosePort = 6, MsgFound = 7, MsgNotFound = 8 };

} // namespace

frmRicercaPorta::frmRicercaPorta(QWidget *parent, QSerialPort *port, hid_device *hidDevice)
    : QDialog(parent), ui(new Ui::frmRicercaPorta), port(port), hidDevice(hidDevice),
      timer(new QTimer)
{
    ui->setupUi(this);
    setWindowFlags(Qt::Dialog | Qt::WindowCloseButtonHint);

    timer->setInterval(ReplyTimeoutMs);
    timer->setSingleShot(false);

    connect(this, &frmRicercaPorta::sgnClose, this, &frmRicercaPorta::onClose);
    connect(ui->cbPorteSeriali, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
            [this](int index) { onSelezionePortaClicked(ui->cbPorteSeriali->itemText(index)); });
    connect(timer, &QTimer::timeout, this, &frmRicercaPorta::onTimeout);
    connect(ui->btClose, &QPushButton::clicked, this, &QWidget::close);
}

frmRicercaPorta::~frmRicercaPorta()
{
    // The port and the HID device belong to the main window.
    if (waitCursor)
        QApplication::restoreOverrideCursor();
    delete timer;
    delete ui;
}

void frmRicercaPorta::startSearch()
{
    if (hidDevice) {
        ui->cbPorteSeriali->hide();
        ui->lblRicerca->hide();

        // One buffer for request and answer; zeroed once, so later attempts
        // send what the previous read left behind bytes 0 and 1.
        unsigned char buf[HidReportSize] = {};
        for (int attempt = 0; attempt < HidAttempts; ++attempt) {
            buf[0] = 0x00; // report number
            buf[1] = HidRequestByte;
            int res = hid_write(hidDevice, buf, HidReportSize);
            std::printf("bytes written=%d\n", res);

            // A read that gets no report in time counts as a failed read.
            res = hid_read_timeout(hidDevice, buf, HidReportSize, HidReadTimeoutMs);
            if (res <= 0)
                std::printf("Unable to read()\n");
            std::printf("bytes read=%d\n", res);
            for (int i = 0; i < FrameSize; ++i)
                std::printf("buf[%d]=%02X\r\n", i, buf[i]);
            std::fflush(stdout);

            CDevInfo info;
            if (parseHidProbeAnswer(buf, res, info)) {
                emit sgnDeviceInfo(info);
                portName = QLatin1String(HidPortName);
                showResult(QLatin1String(ResultOk));
                return;
            }
        }
        // The HID device did not answer: offer the serial ports instead.
    }

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

void frmRicercaPorta::checkReply(const QByteArray &reply)
{
    if (!searching)
        return;
    const bool found = isProbeFound(reply);
    showResult(QLatin1String(found ? ResultOk : ResultKo));
    if (found) {
        // The serial route does not read the identity from the reply: it
        // reports the fixed record {10, 0, '1', '1', '0'}, CDevInfo's defaults.
        CDevInfo info;
        emit sgnDeviceInfo(info);
    }
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

    if (port->isOpen())
        port->close();
    portName = name;
    port->setPortName(name);

    ui->cbPorteSeriali->setEnabled(false);
    ui->btClose->setEnabled(false);
    if (!waitCursor) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        waitCursor = true;
    }

    // A port that cannot be opened yields "not found" by the time-out.
    if (!port->isOpen() && port->open(QIODevice::ReadWrite)) {
        // RTS and DTR can only be set on an open port; a pseudo-terminal
        // refuses both, which does no harm.
        port->setRequestToSend(true);
        port->setDataTerminalReady(true);
        port->clearError();
    }

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
    // A probe still in flight ends here: its port is given up, and the
    // result is "KO" rather than the name of a port about to be closed.
    if (searching) {
        endProbe();
        port->close();
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
    searching = false;
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
        port->close();
    }
}

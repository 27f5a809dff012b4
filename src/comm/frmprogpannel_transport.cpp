// The ECU line: writing frames over the serial port or the HID device, and
// gathering the ECU's 8-byte answers for the four consumers.
#include "mainwindow/frmprogpannel.h"

#include "comm/cgestreceive.h"
#include "comm/cgestrt.h"
#include "comm/cgestsend.h"
#include "comm/chidtransport.h"
#include "comm/frames.h"
#include "mainwindow/frmprogpannel_styles.h"
#include "portsearch/frmricercaporta.h"
#include "portsearch/hiddevice.h"
#include "portsearch/virtualports.h"
#include "ui_frmprogpannel.h"

#include <QSerialPort>
#include <cstdio>

// Bytes of rxFrame already filled; kept from one receive call to the next.
static int rxCount = 0;

void frmProgPannel::onSendSerialData(const QByteArray &frame)
{
    // Nothing a worker sends after its connection has ended reaches the line.
    const QObject *from = sender();
    if (!connected && from && (from == gestSend || from == gestReceive || from == gestRT))
        return;

    if (portName == QLatin1String("HID")) {
        // The exchange runs on the HID thread; the answer comes back through
        // onHidAnswer.
        if (hidTransport) {
            ecuLine.noteRequestSent();
            hidTransport->send(frame);
        } else {
            std::printf("OnSendSerialData: bytes written=%d\n", -1);
            std::printf("OnSendSerialData: Unable to read()\n");
            std::fflush(stdout);
        }
        return;
    }

    if (!port->isOpen())
        return;
    // A new request discards a partial answer and whatever is waiting, so a
    // lost or surplus byte cannot leave the assembly misaligned for the
    // requests that follow.
    if (port->bytesAvailable() > 0)
        port->readAll();
    rxCount = 0;
    port->write(frame);
    ecuLine.noteRequestSent();
}

void frmProgPannel::onHidAnswer(const QByteArray &frame)
{
    ecuLine.noteAnswer(frame);
    rxFrame = frame;
    rxFrame.resize(FrameSize);
    handAnswer(rxFrame);
}

void frmProgPannel::onPortError(QSerialPort::SerialPortError error)
{
    // The port went away under a connection (the adapter was unplugged).
    if (error != QSerialPort::ResourceError || !connected || portName == QLatin1String("HID"))
        return;
    if (transferRunning)
        searchOrDisconnect(); // the transfer reports its own failure
    else
        onErrorRT(QStringLiteral("KO"));
}

void frmProgPannel::onReceiveSerialData()
{
    if (port->bytesAvailable() > 0)
        ecuLine.noteActivity();
    while (port->bytesAvailable() > 0) {
        char byte = 0;
        if (!port->getChar(&byte))
            break;
        if (pushAnswerByte(rxFrame, rxCount, byte)) {
            const QByteArray frame(rxFrame.constData(), FrameSize);
            ecuLine.noteAnswer(frame);
            handAnswer(frame);
        }
    }
}

void frmProgPannel::handAnswer(const QByteArray &frame)
{
    ricercaPorta->checkReply(frame);
    gestSend->setReply(frame);
    gestReceive->setReply(frame);
    gestRT->setReply(frame);
}

void frmProgPannel::onEsitoRicercaPorta(const QString &result, const QString &name)
{
    if (result == QLatin1String("OK")) {
        ui->btRicercaPorta->setStyleSheet(QStringLiteral(LED_ON_STYLE));
        connected = true;
        portName = name;
        rxCount = 0; // the port has just been opened: start on a frame boundary
        ecuLine.reset();
        ui->lblVirtualPort->setText(portDisplayName(name));
        ui->lblVirtualPort->setToolTip(name);
        ui->btStartLink->setEnabled(true);
        ui->btSaveFlash->setEnabled(true);
        ui->btReadFlash->setEnabled(true);
        ui->btBanco->setEnabled(true);
        onReadFlashClicked();
        return;
    }
    ui->btRicercaPorta->setStyleSheet(QStringLiteral(LED_OFF_STYLE));
    connected = false;
    if (!portName.isNull())
        portName = QString();
    // No ECU is in use: a port the search left open (a port found, then the
    // placeholder chosen) is not kept open behind the user's back.
    if (port->isOpen())
        port->close();
}

// The ECU line: writing frames over the serial port or the HID device, and
// gathering the ECU's 8-byte answers for the four consumers.
#include "mainwindow/frmprogpannel.h"

#include "comm/cgestreceive.h"
#include "comm/cgestrt.h"
#include "comm/cgestsend.h"
#include "comm/frames.h"
#include "mainwindow/frmprogpannel_styles.h"
#include "portsearch/frmricercaporta.h"
#include "portsearch/hiddevice.h"
#include "portsearch/virtualports.h"
#include "ui_frmprogpannel.h"

#include <QSerialPort>
#include <cstdio>
#include <cstring>

// Bytes of rxFrame already filled; kept from one receive call to the next.
static int rxCount = 0;

void frmProgPannel::onSendSerialData(const QByteArray &frame)
{
    if (portName == QLatin1String("HID")) {
        unsigned char buf[65];
        std::memset(buf, 0, sizeof buf);
        std::memcpy(buf + 1, frame.constData(), static_cast<size_t>(qMin(frame.size(), 8)));
        const int written = hidDevice ? hid_write(hidDevice, buf, sizeof buf) : -1;
        std::printf("OnSendSerialData: bytes written=%d\n", written);
        // The read is bounded: no report within the time counts as a failure.
        const int read =
            hidDevice ? hid_read_timeout(hidDevice, buf, sizeof buf, HidReadTimeoutMs) : -1;
        if (read <= 0) {
            std::printf("OnSendSerialData: Unable to read()\n");
            std::fflush(stdout);
            return;
        }
        std::printf("OnSendSerialData: bytes read=%d\n", read);
        std::fflush(stdout);
        rxFrame.resize(8);
        std::memcpy(rxFrame.data(), buf, 8);
        handAnswer(rxFrame);
        return;
    }

    // A new request discards a partial answer, so a lost or surplus byte
    // cannot leave the assembly misaligned for the requests that follow.
    if (port->isOpen() && port->bytesAvailable() > 0)
        port->readAll();
    rxCount = 0;
    port->write(frame);
}

void frmProgPannel::onReceiveSerialData()
{
    while (port->bytesAvailable() > 0) {
        char byte = 0;
        if (!port->getChar(&byte))
            break;
        if (pushAnswerByte(rxFrame, rxCount, byte))
            handAnswer(QByteArray(rxFrame.constData(), FrameSize));
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

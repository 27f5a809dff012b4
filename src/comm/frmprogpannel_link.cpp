// Link control: the real-time link, the connection to the ECU, link failure,
// and the commands queued for the ECU (K Iniezione, test bench).
#include "mainwindow/frmprogpannel.h"

#include "comm/cgestreceive.h"
#include "comm/cgestrt.h"
#include "comm/cgestsend.h"
#include "comm/chidtransport.h"
#include "gauge/crpmgauge.h"
#include "mainwindow/cmsg.h"
#include "mainwindow/frmprogpannel_styles.h"
#include "portsearch/frmricercaporta.h"
#include "ui_frmprogpannel.h"

#include <QLabel>
#include <QMessageBox>
#include <QSerialPort>
#include <QSettings>

void frmProgPannel::onLinkClicked()
{
    // A command waiting for the line would be dropped by a start or stop.
    if (commandPending)
        return;
    if (!linkOn) {
        ui->btStartLink->setStyleSheet(QStringLiteral(LED_ON_STYLE));
        ui->btStartLink->setText(CMsg::messages[0]);
        gestRT->startLink();
    } else {
        ui->btStartLink->setStyleSheet(QStringLiteral(LED_OFF_STYLE));
        ui->btStartLink->setText(CMsg::messages[1]);
        gestRT->stopLink();
    }
    linkOn = !linkOn;
    liveCell.setActive(linkOn);
}

void frmProgPannel::onCercaPortaClicked()
{
    // Neither a search nor a disconnection while a command waits for the
    // line or a transfer runs.
    if (lineBusy())
        return;
    searchOrDisconnect();
}

void frmProgPannel::searchOrDisconnect()
{
    ui->lblVirtualPort->setText(CMsg::messages[5]);
    ui->lblVirtualPort->setToolTip(QString());
    if (!connected) {
        ricercaPorta->startSearch();
        ricercaPorta->show();
        return;
    }
    endConnection();
}

// Ends the connection, whatever its cause: every exchange in flight is
// abandoned at once, a running transfer reports its failure once, and
// nothing of this connection reaches the next one.
void frmProgPannel::endConnection()
{
    gestRT->abort(); // stops polling and drops queued and held-back commands
    gestSend->abort();
    gestReceive->abort();
    if (hidTransport)
        hidTransport->abort();
    commandPending = false;

    // A transfer that was waiting for the line is dropped with the link and
    // will never report: the panel does not wait for it.
    setTransferControlsEnabled(true);
    setCloseEnabled(true);

    ui->btStartLink->setStyleSheet(QStringLiteral(LED_OFF_STYLE));
    ui->btStartLink->setText(CMsg::messages[1]);
    linkOn = false;
    liveCell.setActive(false);

    // The ECU is left as it is: no frame switches its test bench off.
    ui->btBanco->setStyleSheet(QStringLiteral(BANCO_OFF_STYLE));
    ui->btBanco->setText(CMsg::messages[3]);
    bancoOn = false;

    if (port->isOpen())
        port->close();

    ui->btRicercaPorta->setStyleSheet(QStringLiteral(LED_OFF_STYLE));
    connected = false;
    // The next search starts on no route at all: not HID, not a stale port.
    portName = QString();

    ui->btStartLink->setEnabled(false);
    ui->btSaveFlash->setEnabled(false);
    ui->btReadFlash->setEnabled(false);
    ui->btBanco->setEnabled(false);

    ui->lcdRPM->display(0);
    rpmGauge->setValue(0);
    ui->lblAdcSonda->setText(QStringLiteral("0"));
    // The curve, K and the file label stay: a disconnection loses no profile.

    deviceInfoLabel->clear();
    deviceInfoLabel->setFrameStyle(QFrame::NoFrame | QFrame::Plain);

    ui->actionCentralina_2cilindri->setEnabled(true);
    ui->actionCentralina_4cilindri->setEnabled(true);
    updateLineActions();
}

void frmProgPannel::onErrorRT(const QString &error)
{
    if (!error.startsWith(QLatin1String("KO")))
        return;
    // A report from a connection that has already ended (the worker may have
    // sent it just before it was stopped) opens nothing and warns no more.
    if (!connected)
        return;
    searchOrDisconnect();
    if (linkOn)
        onLinkClicked();
    QMessageBox::warning(this, CMsg::messages[15], CMsg::messages[15], QMessageBox::Ok,
                         QMessageBox::NoButton);
}

void frmProgPannel::onIniezioneChanged(int value)
{
    if (!connected)
        return;
    gestRT->queueKIniezione(static_cast<quint8>(value), devInfo.hardware);
}

void frmProgPannel::onBancoClicked()
{
    if (!bancoOn) {
        ui->btBanco->setStyleSheet(QStringLiteral(BANCO_ON_STYLE));
        ui->btBanco->setText(CMsg::messages[2]);
        gestRT->queueBancoOn(devInfo.hardware);
    } else {
        ui->btBanco->setStyleSheet(QStringLiteral(BANCO_OFF_STYLE));
        ui->btBanco->setText(CMsg::messages[3]);
        gestRT->queueBancoOff(devInfo.hardware);
    }
    bancoOn = !bancoOn;
}

// The quiet gaps of the line after an answer: "Line/GapMs" after a read or
// poll answer, "Line/WriteGapMs" after a write acknowledgement, each 0..50 ms.
// Read, never written: the defaults need no entry in the store.
void frmProgPannel::applyLineSettings()
{
    const QSettings settings;
    bool ok = false;
    int gap = settings.value(QStringLiteral("Line/GapMs")).toInt(&ok);
    if (!ok)
        gap = CEcuLine::DefaultGapMs;
    int writeGap = settings.value(QStringLiteral("Line/WriteGapMs")).toInt(&ok);
    if (!ok)
        writeGap = CEcuLine::DefaultWriteGapMs;
    ecuLine.setGaps(gap, writeGap);
}

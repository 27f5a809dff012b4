// Link control: the real-time link, the connection to the ECU, link failure,
// and the commands queued for the ECU (K Iniezione, test bench).
#include "mainwindow/frmprogpannel.h"

#include "comm/cgestrt.h"
#include "gauge/crpmgauge.h"
#include "mainwindow/cmsg.h"
#include "mainwindow/frmprogpannel_styles.h"
#include "portsearch/frmricercaporta.h"
#include "ui_frmprogpannel.h"

#include <QLabel>
#include <QMessageBox>
#include <QSerialPort>

void frmProgPannel::onLinkClicked()
{
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
    ui->lblVirtualPort->setText(CMsg::messages[5]);
    if (!connected) {
        ricercaPorta->startSearch();
        ricercaPorta->show();
        return;
    }

    // A transfer that was waiting for the line is dropped with the link and
    // will never report: the panel does not wait for it.
    setTransferControlsEnabled(true);
    ui->btClose->setEnabled(true);

    ui->btStartLink->setStyleSheet(QStringLiteral(LED_OFF_STYLE));
    ui->btStartLink->setText(CMsg::messages[1]);
    linkOn = false;
    liveCell.setActive(false);
    gestRT->stopLink();

    // The ECU is left as it is: no frame switches its test bench off.
    ui->btBanco->setStyleSheet(QStringLiteral(BANCO_OFF_STYLE));
    ui->btBanco->setText(CMsg::messages[3]);
    bancoOn = false;

    if (port->isOpen())
        port->close();

    ui->btRicercaPorta->setStyleSheet(QStringLiteral(LED_OFF_STYLE));
    connected = false;

    ui->btStartLink->setEnabled(false);
    ui->btSaveFlash->setEnabled(false);
    ui->btReadFlash->setEnabled(false);
    ui->btBanco->setEnabled(false);

    ui->lcdRPM->display(0);
    rpmGauge->setValue(0);
    ui->lblAdcSonda->setText(QStringLiteral("0"));
    setFlatCurve(0);

    deviceInfoLabel->clear();
    deviceInfoLabel->setFrameStyle(QFrame::NoFrame | QFrame::Plain);

    ui->actionCentralina_2cilindri->setEnabled(true);
    ui->actionCentralina_4cilindri->setEnabled(true);
}

void frmProgPannel::onErrorRT(const QString &error)
{
    if (!error.startsWith(QLatin1String("KO")))
        return;
    onCercaPortaClicked();
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

#include "frmprogpannel.h"

#include "cmsg.h"
#include "comm/cgestreceive.h"
#include "comm/cgestrt.h"
#include "comm/cgestsend.h"
#include "comm/chidtransport.h"
#include "dialogs/frmabout.h"
#include "dialogs/frmlogin.h"
#include "frmprogpannel_styles.h"
#include "gauge/crpmgauge.h"
#include "portsearch/frmricercaporta.h"
#include "portsearch/hiddevice.h"
#include "profile/canvaspicker.h"
#include "ui_frmprogpannel.h"

#include <QCloseEvent>
#include <QLabel>
#include <QMessageBox>
#include <QSerialPort>
#include <QSettings>
#include <qwt_plot_curve.h>

frmProgPannel::frmProgPannel(QWidget *parent, const CWorkerTimings &timings)
    : QMainWindow(parent)
    , ui(new Ui::frmProgPannel)
{
    ui->setupUi(this);

    {
        CMsg messages; // builds the message table in the installed language
    }

    // "[*]" shows the star of an unsaved profile and nothing otherwise.
    setWindowTitle(QCoreApplication::applicationName() + QStringLiteral(" - V.")
                   + QCoreApplication::applicationVersion() + QStringLiteral("[*]"));

    connected = false;
    bancoOn = false;
    linkOn = false;
    profileFileShown = false;

    deviceInfoLabel = new QLabel;
    deviceInfoLabel->setFrameStyle(QFrame::Plain | QFrame::NoFrame);
    profileNameLabel = new QLabel;

    valueMin = -10.0f;
    valueMax = 25.0f;
    valueAxisStep = 5;
    keyStepPixels = 10;
    ui->spProfiloPiatto->setRange(static_cast<int>(valueMin), static_cast<int>(valueMax));
    picker = nullptr;

    ui->lblAdcSonda->setText(QStringLiteral("0"));

    hidDevice = openHidDevice(0x04D8, 0x0080);
    // The one owner of the HID device from here on.
    if (hidDevice)
        hidTransport = new CHidTransport(hidDevice, this);

    ui->lblVirtualPort->setText(CMsg::messages[5]);
    ui->lblPathProfilo->setText(CMsg::messages[4]);

    ui->gbRPM->setStyleSheet(QStringLiteral("background-color: rgb(3, 0, 51);"));
    ui->gbRPMValue->setStyleSheet(
        QStringLiteral("color: rgb(255, 255, 255); background-color: rgb(3, 0, 51);"));
    ui->gbGiri->setStyleSheet(QStringLiteral("background-color: rgb(3, 0, 51);"));
    ui->spKIniezione->setFocusPolicy(Qt::NoFocus);
    ui->spProfiloPiatto->setFocusPolicy(Qt::NoFocus);

    rpmGauge = new CRpmGauge(ui->gbRPM);
    rpmGauge->setNeedleOrigin(0.486, 0.466);
    rpmGauge->setMinimum(0);
    rpmGauge->setStartAngle(-130.0);
    rpmGauge->setValue(0);
    rpmGauge->setMaximumSize(ui->gbRPM->width(), ui->gbRPM->height());
    rpmGauge->setShowOverlay(false);

    flashBuffer.resize(devInfo.hardware < 20 ? 49 : 89);

    port = new QSerialPort;
    port->setBaudRate(QSerialPort::Baud9600);
    port->setDataBits(QSerialPort::Data8);
    port->setParity(QSerialPort::NoParity);
    port->setStopBits(QSerialPort::OneStop);
    port->setFlowControl(QSerialPort::NoFlowControl);

    gestSend = new CGestSend(&flashBuffer, this, timings.transferTimeoutMs,
                             timings.transferRetries);
    gestReceive = new CGestReceive(&flashBuffer, this, timings.transferTimeoutMs,
                                   timings.transferRetries);
    gestRT = new CGestRT(this, timings.linkTimeoutMs, timings.linkRetries);
    applyLineSettings();
    gestSend->setLine(&ecuLine);
    gestReceive->setLine(&ecuLine);
    gestRT->setLine(&ecuLine);

    rxFrame.resize(8);

    aboutDialog = new frmAbout(this);
    ricercaPorta = new frmRicercaPorta(this, port, hidDevice);
    ricercaPorta->setHidTransport(hidTransport);
    loginDialog = new frmLogin(this);

    ui->btBanco->hide();
    ui->lblAdcSonda->hide();
    ui->lblLivelloSensore->hide();
    ui->btRicercaPorta->setStyleSheet(QStringLiteral(LED_OFF_STYLE));
    ui->btRicercaPorta->setEnabled(true);
    ui->btStartLink->setEnabled(false);
    ui->btStartLink->setStyleSheet(QStringLiteral(LED_OFF_STYLE));
    ui->btSaveFlash->setEnabled(false);
    ui->btReadFlash->setEnabled(false);
    ui->btBanco->setEnabled(false);
    ui->btBanco->setStyleSheet(QStringLiteral(BANCO_OFF_STYLE));

    QSettings settings;
    const QString language = settings.value(QStringLiteral("Language")).toString();
    if (language == QLatin1String("IT"))
        ui->actionItaliano->setChecked(true);
    if (language == QLatin1String("EN"))
        ui->actionInglese->setChecked(true);
    if (!settings.contains(QStringLiteral("Cylinders")))
        settings.setValue(QStringLiteral("Cylinders"), QStringLiteral("2"));
    if (settings.value(QStringLiteral("Cylinders")).toString() == QLatin1String("2"))
        onSelect2Cylinders();
    else
        onSelect4Cylinders();
    if (settings.contains(QStringLiteral("Geometry")))
        restoreGeometry(settings.value(QStringLiteral("Geometry")).toByteArray());

    connectAll();
}

frmProgPannel::~frmProgPannel()
{
    QSettings().setValue(QStringLiteral("Geometry"), saveGeometry());

    // The HID thread ends (its read is bounded) before the device goes.
    delete hidTransport;
    hidTransport = nullptr;
    if (port->isOpen())
        port->close();
    if (hidDevice)
        hid_close(hidDevice);
    hid_exit();

    delete deviceInfoLabel;
    delete profileNameLabel;
    delete port;
    delete gestSend;    // each worker stops and joins its thread
    delete gestReceive;
    delete gestRT;
    delete aboutDialog;
    delete ricercaPorta;
    delete rpmGauge;
    delete picker;
    delete profileCurve; // detaches itself from the plot
    delete ui;
}

void frmProgPannel::connectAll()
{
    connect(ui->btStartLink, &QPushButton::pressed, this, &frmProgPannel::onLinkClicked);
    connect(ui->btRicercaPorta, &QPushButton::pressed, this, &frmProgPannel::onCercaPortaClicked);
    connect(ui->btSaveFlash, &QPushButton::pressed, this, &frmProgPannel::onSaveFlashClicked);
    connect(ui->btReadFlash, &QPushButton::pressed, this, &frmProgPannel::onReadFlashClicked);
    connect(ui->btBanco, &QPushButton::pressed, this, &frmProgPannel::onBancoClicked);
    connect(ui->spKIniezione, qOverload<int>(&QSpinBox::valueChanged), this,
            &frmProgPannel::onIniezioneChanged);
    connect(ui->btFlatProfile, &QPushButton::pressed, this, &frmProgPannel::onFlatProfileClicked);
    connect(ui->btCaricaProfilo, &QPushButton::pressed, this, &frmProgPannel::onLoadProfileClicked);
    connect(ui->btSalvaProfilo, &QPushButton::pressed, this, &frmProgPannel::onSaveProfileClicked);
    connect(ui->actionModo_Esperto, &QAction::triggered, this, &frmProgPannel::onExpertModeClicked);
    connect(ui->actionUscita_Programma, &QAction::triggered, this, &frmProgPannel::onCloseClicked);
    connect(ui->btClose, &QPushButton::pressed, this, &frmProgPannel::onCloseClicked);
    connect(this, &frmProgPannel::sgnClose, this, &frmProgPannel::onCloseClicked);
    connect(ui->actionCarica_Profilo, &QAction::triggered, this, &frmProgPannel::onLoadProfileClicked);
    connect(ui->actionSalva_Profilo, &QAction::triggered, this, &frmProgPannel::onSaveProfileClicked);
    connect(ui->actionApri_Backup, &QAction::triggered, this, &frmProgPannel::onOpenBackupFolder);
    connect(ui->actionItaliano, &QAction::triggered, this, &frmProgPannel::onItalianoClicked);
    connect(ui->actionInglese, &QAction::triggered, this, &frmProgPannel::onIngleseClicked);
    connect(ui->actionCercaCentralina, &QAction::triggered, this, &frmProgPannel::onCercaPortaClicked);
    connect(ui->actionInformazioni, &QAction::triggered, this, &frmProgPannel::onAboutClicked);
    connect(ui->actionMuovi_Destra, &QAction::triggered, this, &frmProgPannel::onMuoviDestra);
    connect(ui->actionMuovi_Sinistra, &QAction::triggered, this, &frmProgPannel::onMuoviSinistra);
    connect(ui->actionMuovi_Su, &QAction::triggered, this, &frmProgPannel::onMuoviSu);
    connect(ui->actionMuovi_Giu, &QAction::triggered, this, &frmProgPannel::onMuoviGiu);
    connect(ui->actionCentralina_2cilindri, &QAction::triggered, this,
            &frmProgPannel::onSelect2Cylinders);
    connect(ui->actionCentralina_4cilindri, &QAction::triggered, this,
            &frmProgPannel::onSelect4Cylinders);
    connect(port, &QSerialPort::readyRead, this, &frmProgPannel::onReceiveSerialData);
    connect(port, &QSerialPort::errorOccurred, this, &frmProgPannel::onPortError);
    if (hidTransport)
        connect(hidTransport, &CHidTransport::sgnAnswer, this, &frmProgPannel::onHidAnswer);
    connect(gestSend, &CGestSend::sgnSndByte, this, &frmProgPannel::onSendSerialData);
    connect(gestReceive, &CGestReceive::sgnSndByte, this, &frmProgPannel::onSendSerialData);
    connect(gestRT, &CGestRT::sgnSndByte, this, &frmProgPannel::onSendSerialData);
    connect(ricercaPorta, &frmRicercaPorta::sgnSndByte, this, &frmProgPannel::onSendSerialData);
    connect(gestSend, &CGestSend::sgnPercent, this, &frmProgPannel::onPercentSndRcv);
    connect(gestReceive, &CGestReceive::sgnPercent, this, &frmProgPannel::onPercentSndRcv);
    connect(gestSend, &CGestSend::sgnEsito, this, &frmProgPannel::onEsitoSndRcv);
    connect(gestReceive, &CGestReceive::sgnEsito, this, &frmProgPannel::onEsitoSndRcv);
    connect(gestRT, &CGestRT::sgnADC, this, &frmProgPannel::onUpdateValAdc);
    connect(gestRT, &CGestRT::sgnRpm, this, &frmProgPannel::onUpdateRpm);
    connect(gestRT, &CGestRT::sgnError, this, &frmProgPannel::onErrorRT);
    connect(gestRT, &CGestRT::sgnExecCmd, this, &frmProgPannel::execCmd);
    connect(ricercaPorta, &frmRicercaPorta::sgnEsito, this, &frmProgPannel::onEsitoRicercaPorta);
    connect(ricercaPorta, &frmRicercaPorta::sgnDeviceInfo, this, &frmProgPannel::onGetDeviceInfo);
    connect(loginDialog, &frmLogin::sgnPassword, this, &frmProgPannel::onGetPassword);

    ui->actionCercaCentralina->setShortcut(QKeySequence(Qt::CTRL + Qt::Key_P));
    ui->actionMuovi_Su->setShortcut(QKeySequence(Qt::Key_Up));
    ui->actionMuovi_Giu->setShortcut(QKeySequence(Qt::Key_Down));
    ui->actionMuovi_Sinistra->setShortcut(QKeySequence(Qt::Key_Left));
    ui->actionMuovi_Destra->setShortcut(QKeySequence(Qt::Key_Right));

    connectEditing();
}

void frmProgPannel::closeEvent(QCloseEvent *event)
{
    // A write cut short leaves the ECU's flash half written: ask first. A
    // read just ends with the window.
    if (writeRunning
        && QMessageBox::question(
               this, CMsg::messages[14],
               tr("La mappa è in scrittura su ECU Vantor: chiudendo ora la ECU resterebbe "
                  "scritta a metà. Chiudere comunque?"),
               QMessageBox::Yes | QMessageBox::No, QMessageBox::No)
               != QMessageBox::Yes) {
        event->ignore();
        return;
    }
    // An edited profile is not dropped without a word. A read under way has
    // already been through this question.
    if (!transferRunning && !settleUnsavedProfile()) {
        event->ignore();
        return;
    }
    emit sgnClose();
    event->accept();
}

void frmProgPannel::onCloseClicked()
{
    close();
}

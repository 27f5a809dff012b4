// The main window: construction and wiring, the one place that enables the
// controls, closing, language, variant, readouts and expert mode.
#include "frmprogpannel.h"

#include "cacceleratormanager.h"
#include "cbuttonactions.h"
#include "cmsg.h"
#include "comm/cgestreceive.h"
#include "comm/cgestrt.h"
#include "comm/cgestsend.h"
#include "dialogs/frmabout.h"
#include "dialogs/frmlogin.h"
#include "frmprogpannel_styles.h"
#include "gauge/crpmgauge.h"
#include "portsearch/frmricercaporta.h"
#include "portsearch/hiddevice.h"
#include "portsearch/probe.h"
#include "portsearch/virtualports.h"
#include "qtcatalogue.h"
#include "profile/canvaspicker.h"
#include "profile/profilebackup.h"
#include "profile/profiledocument.h"
#include "profile/profileeditor.h"
#include "profile/profileplot.h"
#include "profile/profiletable.h"
#include "profile/profiletabledock.h"
#include "creadoutpacer.h"
#include "cstatusnotice.h"
#include "cworkbenchviews.h"
#include "comm/datalogrecorder.h"
#include "comm/ecucommands.h"
#include "comm/logreplayer.h"
#include "gauge/datalogpanel.h"
#include "gauge/stripchart.h"
#include "profile/celltime.h"
#include "profile/profileexport.h"
#include "profile/recentfiles.h"
#include "ui_frmprogpannel.h"

#include <QCloseEvent>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QSettings>
#include <QTranslator>
#include <QUndoStack>
#include <QUrl>
#include <qwt_text.h>

frmProgPannel::frmProgPannel(QWidget *parent, const CWorkerTimings &timings)
    : QMainWindow(parent)
    , ui(new Ui::frmProgPannel)
{
    ui->setupUi(this);

    {
        CMsg messages; // builds the message table in the installed language
    }
    setWindowTitleText();

    deviceInfoLabel = new QLabel;
    deviceInfoLabel->setFrameStyle(QFrame::Plain | QFrame::NoFrame);
    profileNameLabel = new QLabel;
    // The selected point's values, beside the other status-bar labels.
    selectionLabel = new QLabel;
    statusBar()->addPermanentWidget(selectionLabel, 0);
    selectionLabel->hide();
    // How the last read, write, save or load ended, and other short notes;
    // the device and profile-name labels stay in view meanwhile.
    notice = new CStatusNotice;
    statusBar()->insertPermanentWidget(0, notice, 1);

    ui->lblAdcSonda->setText(QStringLiteral("0"));

    // The session owns the line (the HID device and the serial port, each on
    // a thread of its own) and the workers; it is the window's child and
    // goes first. The HID device is opened on its own thread, now.
    session = new CEcuSession(CHidSource{frmRicercaPorta::hidPortName(),
                                         [] {
                                             return openHidDevice(EcuSearch::EcuVendorId,
                                                                  EcuSearch::EcuProductId);
                                         }},
                              timings, this);
    document = new CProfileDocument(this);
    ui->spProfiloPiatto->setRange(static_cast<int>(document->valueRange().valueMin),
                                  static_cast<int>(document->valueRange().valueMax));
    // The order of the sequences; the window answers its questions.
    sequencer = new CEcuSequencer(session, document, this, this);

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
    // The dial paints its own background: a new reading then repaints it
    // alone, not the frames and the window behind it.
    rpmGauge->setBackgroundColour(QColor(3, 0, 51));

    plot = new CProfilePlot(ui->qwtPlot, document);
    readouts = new CReadoutPacer(ui->lcdRPM, rpmGauge, ui->lblAdcSonda, plot->liveCell(), this);
    editor = new CProfileEditor(this, document, plot, this);
    buildWorkbench();

    // The about and password dialogs are built when first opened: the
    // window shows sooner.
    ricercaPorta = new frmRicercaPorta(this, session->link());

    ui->btBanco->hide();
    ui->lblAdcSonda->hide();
    ui->lblLivelloSensore->hide();
    ui->btRicercaPorta->setStyleSheet(QStringLiteral(LED_OFF_STYLE));
    ui->btStartLink->setStyleSheet(QStringLiteral(LED_OFF_STYLE));
    ui->btBanco->setStyleSheet(QStringLiteral(BANCO_OFF_STYLE));

    QSettings settings;
    const QString language = settings.value(QStringLiteral("Language")).toString();
    if (language == QLatin1String("IT"))
        ui->actionItaliano->setChecked(true);
    if (language == QLatin1String("EN"))
        ui->actionInglese->setChecked(true);
    // A missing "Cylinders" reads as "2"; selecting the variant writes it, so
    // a first start writes the settings file once here, not twice.
    selectVariant(settings.value(QStringLiteral("Cylinders"), QStringLiteral("2")).toString()
                      != QLatin1String("2"),
                  true);
    if (settings.contains(QStringLiteral("Geometry")))
        restoreGeometry(settings.value(QStringLiteral("Geometry")).toByteArray());
    views->restore(settings);

    // The keyboard: the ECU buttons as menu commands with keys of their own,
    // the standard keys for the profile files, mnemonics in every menu.
    auto *menuCentralina = new QMenu(menuBar());
    menuCentralina->setObjectName(QStringLiteral("menuCentralina"));
    menuBar()->insertMenu(ui->menuConfigurazione->menuAction(), menuCentralina);
    auto *buttonActions = new CButtonActions(menuCentralina, this);
    buttonActions->add(ui->btReadFlash, QKeySequence(Qt::Key_F5));
    buttonActions->add(ui->btSaveFlash, QKeySequence(Qt::Key_F6));
    buttonActions->add(ui->btStartLink, QKeySequence(Qt::Key_F7));
    ui->actionCarica_Profilo->setShortcut(QKeySequence::Open);
    ui->actionSalva_Profilo->setShortcut(QKeySequence::Save);
    new CAcceleratorManager(menuBar(), this);

    connectAll();
}

frmProgPannel::~frmProgPannel()
{
    QSettings settings;
    settings.setValue(QStringLiteral("Geometry"), saveGeometry());
    views->save(settings);
    recentFiles->save();

    // Nothing that goes from here on reports to the window any more.
    disconnect(session, nullptr, this, nullptr);
    disconnect(document, nullptr, this, nullptr);
    disconnect(document->model()->undoStack(), nullptr, this, nullptr);

    // The port, the HID device and the workers go first (each worker stops
    // and joins its thread), before anything they report to.
    delete session;
    session = nullptr;
    delete deviceInfoLabel;
    delete profileNameLabel;
    delete aboutDialog;
    delete ricercaPorta;
    delete editor;
    delete plot;
    delete rpmGauge;
    delete document;
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
    // The workers write through the line's own threads and get its answers
    // there: the window's thread sees frames only while the port search
    // probes (its probe goes out here, its answers come in here).
    connect(session->link(), &CEcuLink::searchAnswersWaiting, this,
            &frmProgPannel::onReceiveSerialData);
    connect(ricercaPorta, &frmRicercaPorta::sgnSndByte, this, &frmProgPannel::onSendSerialData);
    connect(session->gestSend(), &CGestSend::sgnPercent, this, &frmProgPannel::onPercentSndRcv);
    connect(session->gestReceive(), &CGestReceive::sgnPercent, this,
            &frmProgPannel::onPercentSndRcv);
    connect(session->gestSend(), &CGestSend::sgnEsito, this, &frmProgPannel::onEsitoSndRcv);
    connect(session->gestReceive(), &CGestReceive::sgnEsito, this, &frmProgPannel::onEsitoSndRcv);
    // The real-time worker's readings come through the session, one queued
    // call for both instead of one each.
    connect(session, &CEcuSession::readingsPublished, this, [this](int rpm, uchar adc) {
        onUpdateRpm(rpm);
        onUpdateValAdc(adc);
    });
    connect(session->gestRT(), &CGestRT::sgnError, this, &frmProgPannel::onErrorRT);
    connect(session->gestRT(), &CGestRT::sgnExecCmd, this, &frmProgPannel::execCmd);
    connect(ricercaPorta, &frmRicercaPorta::sgnEsito, this, &frmProgPannel::onEsitoRicercaPorta);
    connect(ricercaPorta, &frmRicercaPorta::sgnDeviceInfo, this, &frmProgPannel::onGetDeviceInfo);

    ui->actionCercaCentralina->setShortcut(QKeySequence(Qt::CTRL + Qt::Key_P));
    ui->actionMuovi_Su->setShortcut(QKeySequence(Qt::Key_Up));
    ui->actionMuovi_Giu->setShortcut(QKeySequence(Qt::Key_Down));
    ui->actionMuovi_Sinistra->setShortcut(QKeySequence(Qt::Key_Left));
    ui->actionMuovi_Destra->setShortcut(QKeySequence(Qt::Key_Right));

    // Beyond the description: the session's own reports, the document, the
    // plot's live cell, the edit menu and the backups.
    connect(session, &CEcuSession::linkError, this, &frmProgPannel::onErrorRT);
    connect(sequencer, &CEcuSequencer::transferShown, this, &frmProgPannel::showTransferOutcome);
    connect(sequencer, &CEcuSequencer::backupFailed, this, &frmProgPannel::warnBackupFailed);
    connect(sequencer, &CEcuSequencer::quitReady, this, &frmProgPannel::finishExit);
    connect(sequencer, &CEcuSequencer::transferRequested, this, [this] {
        // The name read last no longer stands for what the ECU will hold.
        profileNameLabel->clear();
        statusBar()->update();
    });
    connect(session, &CEcuSession::commandNotSent, this, [this] {
        notice->showMessage(tr("Comando non inviato alla centralina: la linea non lo ha "
                               "trasmesso"));
    });
    connect(session, &CEcuSession::connectionEnded, this, &frmProgPannel::resetReadouts);
    connect(session, &CEcuSession::stateChanged, this, &frmProgPannel::updateControls);
    connect(document, &CProfileDocument::fileChanged, this, &frmProgPannel::showProfileLabel);
    connect(document, &CProfileDocument::sourcesChanged, this, &frmProgPannel::showProfileLabel);
    connect(document, &CProfileDocument::modifiedChanged, this, &QWidget::setWindowModified);
    connect(document, &CProfileDocument::kChanged, ui->spKIniezione, &QSpinBox::setValue);
    connect(document->model()->undoStack(), &QUndoStack::canUndoChanged, this,
            &frmProgPannel::updateControls);
    connect(document->model()->undoStack(), &QUndoStack::canRedoChanged, this,
            &frmProgPannel::updateControls);
    connect(ui->spKIniezione, qOverload<int>(&QSpinBox::valueChanged), document,
            &CProfileDocument::setK);
    // The cell in use goes with the readouts, from the same poll answer.
    connect(session, &CEcuSession::liveSample, this, [this](const CLiveSample &sample) {
        readouts->setCell(sample.cellIndex, sample.cellValue);
    });

    connect(ui->actionAnnulla, &QAction::triggered, document, &CProfileDocument::undo);
    connect(ui->actionRipeti, &QAction::triggered, document, &CProfileDocument::redo);
    connect(ui->actionEstendi_Sinistra, &QAction::triggered, editor,
            &CProfileEditor::onEstendiSinistra);
    connect(ui->actionEstendi_Destra, &QAction::triggered, editor,
            &CProfileEditor::onEstendiDestra);
    connect(ui->actionAumenta, &QAction::triggered, editor, &CProfileEditor::onAumenta);
    connect(ui->actionDiminuisci, &QAction::triggered, editor, &CProfileEditor::onDiminuisci);
    connect(ui->actionImposta_Valore, &QAction::triggered, editor,
            &CProfileEditor::onImpostaValore);
    connect(ui->actionScala, &QAction::triggered, editor, &CProfileEditor::onScala);
    connect(ui->actionInterpola, &QAction::triggered, editor, &CProfileEditor::onInterpola);
    connect(ui->actionLeviga, &QAction::triggered, editor, &CProfileEditor::onLeviga);
    connect(ui->actionConfronta, &QAction::triggered, editor,
            &CProfileEditor::onConfrontaConFile);
    connect(ui->actionRipristina, &QAction::triggered, editor,
            &CProfileEditor::onRipristinaRiferimento);
    connect(ui->actionApri_Backup, &QAction::triggered, this, [this]() {
        const QString folder = backupFolder();
        (void)QDir().mkpath(folder);
        QDesktopServices::openUrl(QUrl::fromLocalFile(folder));
    });
    connect(editor, &CProfileEditor::message, this,
            [this](const QString &text) { notice->showMessage(text, 3000); });
    connect(editor, &CProfileEditor::selectionTextChanged, this, [this](const QString &text) {
        selectionLabel->setText(text);
        selectionLabel->setVisible(!text.isEmpty());
    });

    ui->actionAnnulla->setShortcut(QKeySequence(Qt::CTRL + Qt::Key_Z));
    ui->actionRipeti->setShortcuts({QKeySequence(Qt::CTRL + Qt::SHIFT + Qt::Key_Z),
                                    QKeySequence(Qt::CTRL + Qt::Key_Y)});
    ui->actionEstendi_Sinistra->setShortcut(QKeySequence(Qt::SHIFT + Qt::Key_Left));
    ui->actionEstendi_Destra->setShortcut(QKeySequence(Qt::SHIFT + Qt::Key_Right));
    ui->actionAumenta->setShortcut(QKeySequence(Qt::CTRL + Qt::Key_Up));
    ui->actionDiminuisci->setShortcut(QKeySequence(Qt::CTRL + Qt::Key_Down));
    ui->actionImposta_Valore->setShortcuts({QKeySequence(Qt::Key_Return),
                                            QKeySequence(Qt::Key_Enter)});
    ui->actionScala->setShortcut(QKeySequence(Qt::CTRL + Qt::Key_M));
    ui->actionInterpola->setShortcut(QKeySequence(Qt::CTRL + Qt::Key_I));
    ui->actionLeviga->setShortcut(QKeySequence(Qt::CTRL + Qt::Key_L));
    ui->actionConfronta->setShortcut(QKeySequence(Qt::CTRL + Qt::SHIFT + Qt::Key_O));
    ui->actionRipristina->setShortcut(QKeySequence(Qt::CTRL + Qt::SHIFT + Qt::Key_R));

    updateControls();
}

// The workbench's views and their menu. Beyond the description: while they
// stay hidden, the window is the form as designed.
void frmProgPannel::buildWorkbench()
{
    views = new CWorkbenchViews(this);
    menuStrumenti = new QMenu(menuBar());
    menuStrumenti->setObjectName(QStringLiteral("menuStrumenti"));
    menuBar()->insertMenu(ui->menuAbout->menuAction(), menuStrumenti);

    const auto status = [this](const QString &text) { notice->showMessage(text); };

    // The profile as a table; datalogs with their strip chart and replay.
    tableDock = new CProfileTableDock(document, this);
    views->add(tableDock);
    connect(tableDock, &CProfileTableDock::message, this, status);
    dataLogDock = new CDataLogDock(this);
    views->add(dataLogDock);
    // Time in each cell, under the curve.
    cellTime = new CCellTimeView(ui->qwtPlot, this);

    menuStrumenti->addAction(views->showAction(tableDock));
    menuStrumenti->addAction(views->showAction(dataLogDock));
    menuStrumenti->addAction(cellTime->showAction());
    menuStrumenti->addSeparator();
    menuStrumenti->addAction(dataLogDock->recordAction());
    menuStrumenti->addAction(dataLogDock->openLogAction());
    menuStrumenti->addAction(cellTime->resetAction());

    // Export and the recent profile files, in the File menu before its exit.
    exporter = new CProfileExporter(this, document, plot, this);
    connect(exporter, &CProfileExporter::message, this, status);
    exporter->setEcuIdentity([this] {
        if (session->isConnected())
            return ecuIdentityText(session->devInfo());
        return document->profileReadAt().isValid() ? ecuIdentityText(document->profileReadFrom())
                                                   : QString();
    });
    recentFiles = new CRecentFiles(this);
    auto *recentMenu = new QMenu(ui->menuFile);
    recentMenu->setObjectName(QStringLiteral("menuFileRecenti"));
    recentFiles->setMenu(recentMenu);
    QAction *exit = ui->actionUscita_Programma;
    ui->menuFile->insertMenu(exit, recentMenu);
    ui->menuFile->insertSeparator(exit);
    ui->menuFile->insertAction(exit, exporter->plotAction());
    ui->menuFile->insertAction(exit, exporter->csvAction());
    ui->menuFile->insertSeparator(exit);
    connect(recentFiles, &CRecentFiles::openRequested, this, &frmProgPannel::openRecentFile);

    // What the link reports: the histogram and the datalog; a replayed log
    // drives the readouts as if live while the link is off.
    connect(session, &CEcuSession::liveSample, cellTime->histogram(),
            &CCellTimeHistogram::onLiveSample);
    connect(session, &CEcuSession::connectionEnded, cellTime->histogram(),
            &CCellTimeHistogram::endRun);
    connect(cellTime->histogram(), &CCellTimeHistogram::changed, tableDock, [this] {
        tableDock->tableModel()->setTimeShares(cellTime->histogram()->shares());
    });
    connect(session, &CEcuSession::liveSample, dataLogDock->recorder(),
            &CDataLogRecorder::addSample);
    connect(session, &CEcuSession::liveSample, dataLogDock, &CDataLogDock::addLiveSample);
    connect(session, &CEcuSession::stateChanged, this, [this] {
        dataLogDock->setLinkOn(session->linkOn());
        dataLogDock->recorder()->setBench(session->benchOn());
        dataLogDock->setDevInfo(session->devInfo());
    });
    dataLogDock->recorder()->setK(ui->spKIniezione->value());
    connect(ui->spKIniezione, qOverload<int>(&QSpinBox::valueChanged), dataLogDock->recorder(),
            &CDataLogRecorder::setK);
    connect(dataLogDock->replayer(), &CLogReplayer::sampleAt, this,
            [this](const CLiveSample &sample, int, bool) { showReplayedSample(sample); });
    connect(dataLogDock, &CDataLogDock::logOpened, this, [this] {
        cellTime->histogram()->reset();
        cellTime->histogram()->addLog(dataLogDock->replayer()->samples());
        updateControls();
    });
    retranslateWorkbench();
}

void frmProgPannel::retranslateWorkbench()
{
    menuStrumenti->setTitle(tr("Strumenti"));
    cellTime->retranslate();
    exporter->retranslate();
    recentFiles->retranslate();
}

// A replayed log drives the gauge, the readouts and the live cell as the
// link does, while the link is off.
void frmProgPannel::showReplayedSample(const CLiveSample &sample)
{
    if (session->linkOn())
        return;
    plot->liveCell()->setActive(true);
    readouts->setRpm(sample.rpm);
    readouts->setProbe(sample.adc);
    readouts->setCell(sample.cellIndex, sample.cellValue);
}

// A recent profile file: loaded as "Carica Mappa" loads, without the file
// dialog; one that is gone leaves the list with a word.
void frmProgPannel::openRecentFile(const QString &path)
{
    if (!QFileInfo::exists(path)) {
        recentFiles->remove(path);
        warnProfileFile(recentFiles->missingFileText(path));
        return;
    }
    sequencer->load(path);
}

// The one place that enables the controls: from the session's state (the
// connection, the line, the link switch, the test bench) and the document's
// (locked while a transfer runs, undo and redo).
void frmProgPannel::updateControls()
{
    // While a transfer is asked for or runs, the document takes no change
    // from the user; the read's own result still goes in.
    document->setLocked(session->transferBusy());

    const bool connected = session->isConnected();
    const bool panelFree = !session->transferBusy();
    const bool ecu = session->mayUseEcu();
    const bool lineFree = session->mayStartCommand();
    const bool editable = !document->isLocked();

    ui->btReadFlash->setEnabled(ecu);
    ui->btSaveFlash->setEnabled(ecu);
    ui->btBanco->setEnabled(ecu);
    ui->btStartLink->setEnabled(ecu);
    ui->btRicercaPorta->setEnabled(panelFree);
    ui->btCaricaProfilo->setEnabled(panelFree);
    ui->btSalvaProfilo->setEnabled(panelFree);
    ui->btFlatProfile->setEnabled(panelFree && editable);
    ui->spKIniezione->setEnabled(panelFree);
    ui->spProfiloPiatto->setEnabled(panelFree);

    // A write cut short would leave the ECU half written: closing waits.
    const bool mayClose = !session->writeBusy();
    ui->btClose->setEnabled(mayClose);
    ui->actionUscita_Programma->setEnabled(mayClose);

    // Commands that need the line or a file dialog wait for a free line.
    ui->actionCarica_Profilo->setEnabled(lineFree);
    ui->actionSalva_Profilo->setEnabled(lineFree);
    ui->actionCercaCentralina->setEnabled(lineFree);
    ui->actionConfronta->setEnabled(lineFree && editable);

    // Every change of the profile by the user waits for the transfer.
    const QUndoStack *undo = document->model()->undoStack();
    ui->actionAnnulla->setEnabled(editable && undo->canUndo());
    ui->actionRipeti->setEnabled(editable && undo->canRedo());
    for (QAction *a : {ui->actionEstendi_Sinistra, ui->actionEstendi_Destra, ui->actionAumenta,
                       ui->actionDiminuisci, ui->actionImposta_Valore, ui->actionScala,
                       ui->actionInterpola, ui->actionLeviga, ui->actionMuovi_Su,
                       ui->actionMuovi_Giu, ui->actionMuovi_Sinistra, ui->actionMuovi_Destra})
        a->setEnabled(editable);
    ui->actionRipristina->setEnabled(editable && document->model()->hasReference());

    // An ECU that states its cylinders fixes the variant; no variant change
    // while a transfer runs.
    const bool variantFree = !session->variantFixed() && editable;
    ui->actionCentralina_2cilindri->setEnabled(variantFree);
    ui->actionCentralina_4cilindri->setEnabled(variantFree);

    // What the state looks like.
    ui->btRicercaPorta->setStyleSheet(QLatin1String(connected ? LED_ON_STYLE : LED_OFF_STYLE));
    ui->btStartLink->setStyleSheet(
        QLatin1String(session->linkOn() ? LED_ON_STYLE : LED_OFF_STYLE));
    ui->btStartLink->setText(CMsg::messages[session->linkOn() ? 0 : 1]);
    showBench(session->benchOn());
    if (connected) {
        ui->lblVirtualPort->setText(portDisplayName(session->portName()));
        ui->lblVirtualPort->setToolTip(session->portName());
    } else {
        ui->lblVirtualPort->setText(CMsg::messages[5]);
        ui->lblVirtualPort->setToolTip(QString());
    }
    // The live cell follows the link, or a log replayed with the link off.
    plot->liveCell()->setActive(session->linkOn() || !dataLogDock->replayer()->isEmpty());
}

void frmProgPannel::showBench(bool on)
{
    ui->btBanco->setStyleSheet(QLatin1String(on ? BANCO_ON_STYLE : BANCO_OFF_STYLE));
    ui->btBanco->setText(CMsg::messages[on ? 2 : 3]);
}

void frmProgPannel::showProfileLabel()
{
    ui->lblPathProfilo->setText(document->fileShown() ? document->filePath()
                                                      : CMsg::messages[4]);
    // A profile read from the ECU keeps the placeholder (a write then asks
    // for a file first); where it came from goes in the tool tip.
    const QTime readAt = document->profileReadAt();
    if (document->fileShown())
        ui->lblPathProfilo->setToolTip(document->filePath());
    else if (readAt.isValid())
        ui->lblPathProfilo->setToolTip(tr("Mappa letta da %1 alle %2")
                                           .arg(ecuIdentityText(document->profileReadFrom()),
                                                readAt.toString(QStringLiteral("HH:mm:ss"))));
    else
        ui->lblPathProfilo->setToolTip(QString());
}

// The connection has ended: the readouts go back to 0; the curve, K and the
// file label stay, since a disconnection loses no profile.
void frmProgPannel::resetReadouts()
{
    readouts->reset();
    deviceInfoLabel->clear();
    deviceInfoLabel->setFrameStyle(QFrame::NoFrame | QFrame::Plain);
}

void frmProgPannel::closeEvent(QCloseEvent *event)
{
    // The sequencer asks what it must (the test bench, a write under way,
    // an edited profile); it may switch the test bench off first, and the
    // window closes once that has gone out (finishExit).
    if (sequencer->quit() != CEcuSequencer::Quit::Now) {
        event->ignore();
        return;
    }
    emit sgnClose();
    event->accept();
}

bool frmProgPannel::cutWriteShort()
{
    return QMessageBox::question(
               this, CMsg::messages[14],
               tr("La mappa è in scrittura su ECU Vantor: chiudendo ora la ECU resterebbe "
                  "scritta a metà. Chiudere comunque?"),
               QMessageBox::Yes | QMessageBox::No, QMessageBox::No)
           == QMessageBox::Yes;
}

CSequenceUser::BenchAtExit frmProgPannel::askBenchAtExit()
{
    QMessageBox box(QMessageBox::Question, tr("Modo banco attivo"),
                    tr("La centralina è in modo banco. Spegnere il modo banco prima di "
                       "chiudere?"),
                    QMessageBox::NoButton, this);
    QPushButton *off = box.addButton(tr("Spegni e chiudi"), QMessageBox::AcceptRole);
    QPushButton *leave = box.addButton(tr("Chiudi senza spegnere"), QMessageBox::DestructiveRole);
    box.addButton(QMessageBox::Cancel);
    box.setDefaultButton(off);
    box.exec();
    if (box.clickedButton() == off)
        return BenchAtExit::SwitchOff;
    if (box.clickedButton() == leave)
        return BenchAtExit::Leave;
    return BenchAtExit::Cancel;
}

// The switch-off at exit has gone out, or the connection ended before: the
// program ends, saying so if the ECU did not take it.
void frmProgPannel::finishExit(bool acknowledged)
{
    if (!acknowledged)
        QMessageBox::warning(this, tr("Modo banco attivo"),
                             tr("La centralina non ha confermato lo spegnimento del modo banco: "
                                "potrebbe essere ancora in modo banco."));
    close();
}

void frmProgPannel::onCloseClicked()
{
    close();
}

// Language ------------------------------------------------------------------

void frmProgPannel::onItalianoClicked()
{
    switchLanguage(QStringLiteral("ECUVantor-it.qm"), QStringLiteral("IT"));
}

void frmProgPannel::onIngleseClicked()
{
    switchLanguage(QStringLiteral("ECUVantor-en.qm"), QStringLiteral("EN"));
}

void frmProgPannel::setWindowTitleText()
{
    // "[*]" shows the star of an unsaved profile and nothing otherwise.
    setWindowTitle(QCoreApplication::applicationName() + QStringLiteral(" - V.")
                   + QCoreApplication::applicationVersion() + QStringLiteral("[*]"));
}

void frmProgPannel::switchLanguage(const QString &catalogue, const QString &code)
{
    // The translator of the latest switch replaces the previous switch's one;
    // the start-up translator stays installed below it.
    auto *translator = new QTranslator(this);
    (void)translator->load(catalogue, QStringLiteral(":/linguist"));
    if (switchTranslator) {
        QCoreApplication::removeTranslator(switchTranslator);
        delete switchTranslator;
    }
    switchTranslator = translator;
    QCoreApplication::installTranslator(switchTranslator);
    (void)installQtCatalogue(code);

    retranslateAll();
    ricercaPorta->retranslateUi();
    if (aboutDialog)
        aboutDialog->retranslateUi();
    if (loginDialog)
        loginDialog->retranslateUi();

    const bool italian = code == QLatin1String("IT");
    ui->actionItaliano->setChecked(italian);
    ui->actionInglese->setChecked(!italian);
    setWindowTitleText();

    QSettings().setValue(QStringLiteral("Language"), code);
}

void frmProgPannel::setPlotTitles()
{
    plot->setTitles(CMsg::messages[9], CMsg::messages[10], CMsg::messages[11]);
}

void frmProgPannel::retranslateAll()
{
    ui->retranslateUi(this);
    CMsg::buildMessages();
    setPlotTitles();
    updateControls();  // the port label, the link and test-bench captions
    showProfileLabel(); // the placeholder in the new language; a path stays
    editor->updateSelectionText();
    retranslateWorkbench();
}

// Variant -------------------------------------------------------------------

void frmProgPannel::onSelect2Cylinders()
{
    chooseVariant(false);
}

void frmProgPannel::onSelect4Cylinders()
{
    chooseVariant(true);
}

// The user's choice of a variant discards the profile shown: an edited one
// is not dropped without a question. Cancel changes nothing.
void frmProgPannel::chooseVariant(bool fourCylinders)
{
    if (document->isLocked() || !settleUnsavedProfile()) {
        const bool four = document->fourCylinders();
        ui->actionCentralina_2cilindri->setChecked(!four);
        ui->actionCentralina_4cilindri->setChecked(four);
        return;
    }
    selectVariant(fourCylinders, true);
}

void frmProgPannel::selectVariant(bool fourCylinders, bool resetProfile)
{
    ui->actionCentralina_2cilindri->setChecked(!fourCylinders);
    ui->actionCentralina_4cilindri->setChecked(fourCylinders);

    if (resetProfile)
        document->showPlaceholder();

    // Written only when it changes: every write locks the settings file and
    // syncs it to the disk, at every start otherwise.
    QSettings settings;
    const QString cylinders = fourCylinders ? QStringLiteral("4") : QStringLiteral("2");
    if (settings.value(QStringLiteral("Cylinders")).toString() != cylinders)
        settings.setValue(QStringLiteral("Cylinders"), cylinders);

    // The plot is rebuilt for it, and every view draws with its scale.
    document->applyVariant(fourCylinders);
    const double maxRpm = document->maxRpm();

    rpmGauge->setSkin(fourCylinders ? QStringLiteral("RPMbackground16000.svg")
                                    : QStringLiteral("RPMbackground12000.svg"));
    rpmGauge->setMaximum(fourCylinders ? 17000 : 12000);
    rpmGauge->setEndAngle(fourCylinders ? 149.0 : 133.0);

    tableDock->setMaxRpm(maxRpm);
    dataLogDock->chart()->setMaxRpm(maxRpm);
    cellTime->setMaxRpm(maxRpm);
    setPlotTitles();
    if (resetProfile)
        document->resetProfile();
    ui->spProfiloPiatto->setRange(static_cast<int>(document->valueRange().valueMin),
                                  static_cast<int>(document->valueRange().valueMax));

    ui->lblLogo->setPixmap(QPixmap(fourCylinders ? QStringLiteral(":/images/imgs/vantor4.jpg")
                                                 : QStringLiteral(":/images/imgs/vantor2.jpg")));
}

void frmProgPannel::onGetDeviceInfo(CDevInfo &info)
{
    session->setDevInfo(info);
    const CDevInfo &d = session->devInfo();

    deviceInfoLabel->setFrameStyle(QFrame::Box | QFrame::Sunken);
    deviceInfoLabel->setText(ecuIdentityText(d));
    // Added once: the status bar keeps one entry per addWidget.
    if (deviceInfoLabel->parentWidget() != statusBar())
        statusBar()->addWidget(deviceInfoLabel, 0);
    deviceInfoLabel->show();

    // The value range of the ECU's hardware, taken into use with the variant.
    document->setEcuHardware(d.hardware);

    // The plot is rebuilt for the ECU's variant, but the profile shown and
    // its file label stay: the read that follows asks before it replaces an
    // edited one.
    if (d.cylinders == 2 || d.cylinders == 4)
        selectVariant(d.cylinders == 4, false);
    updateControls();
}

// Readouts, progress, expert mode, About --------------------------------------

void frmProgPannel::onUpdateRpm(int rpm)
{
    if (!session->acceptsReadings())
        return;
    readouts->setRpm(rpm);
}

void frmProgPannel::onUpdateValAdc(uchar level)
{
    if (!session->acceptsReadings())
        return;
    readouts->setProbe(level);
}

void frmProgPannel::onPercentSndRcv(int percent)
{
    ui->progressBar->setValue(session->overallPercent(percent));
}

void frmProgPannel::onClearUpdateBar()
{
    ui->progressBar->setValue(0);
}

void frmProgPannel::onExpertModeClicked()
{
    if (!ui->actionModo_Esperto->isChecked()) {
        ui->btBanco->hide();
        ui->lblAdcSonda->hide();
        ui->lblLivelloSensore->hide();
        return;
    }
    frmLogin *dialog = login();
    dialog->clearPassword();
    dialog->show();
    dialog->setModal(true);
    dialog->activateWindow();
}

frmLogin *frmProgPannel::login()
{
    if (!loginDialog) {
        loginDialog = new frmLogin(this);
        connect(loginDialog, &frmLogin::sgnPassword, this, &frmProgPannel::onGetPassword);
    }
    return loginDialog;
}

frmAbout *frmProgPannel::about()
{
    if (!aboutDialog)
        aboutDialog = new frmAbout(this);
    return aboutDialog;
}

void frmProgPannel::onGetPassword(const QString &password)
{
    if (password == QLatin1String(EXPERT_PASSWORD)) {
        ui->btBanco->show();
        ui->lblAdcSonda->show();
        ui->lblLivelloSensore->show();
        return;
    }
    // Unticking through setChecked does not trigger onExpertModeClicked.
    ui->actionModo_Esperto->setChecked(false);
}

void frmProgPannel::onAboutClicked()
{
    about()->show();
}

#pragma once

#include "comm/cdevinfo.h"
#include "profile/cecusequencer.h"
#include "comm/cecusession.h"
#include "comm/livesample.h"
#include "profile/sequencesides.h"

#include <QByteArray>
#include <QMainWindow>
#include <QString>

class CProfileDocument;
class CReadoutPacer;
class CStatusNotice;
class CProfileTableDock;
class CCellTimeView;
class CDataLogDock;
class CProfileExporter;
class CRecentFiles;
class CWorkbenchViews;
class CProfileEditor;
class CProfilePlot;
class CRpmGauge;
class frmAbout;
class frmLogin;
class frmRicercaPorta;
class QLabel;
class QMenu;
class QTranslator;

namespace Ui {
class frmProgPannel;
}

// The main window is a view: it keeps the form, the dialogs, the gauge and
// the message boxes. The connection to the ECU belongs to the session, the
// profile to the document, the order of the sequences to the sequencer; the
// window's slots hand their work to them, it answers the sequencer's
// questions (CSequenceUser), and updateControls() enables every control from
// their states.
class frmProgPannel : public QMainWindow, private CSequenceUser
{
    Q_OBJECT
public:
    explicit frmProgPannel(QWidget *parent = nullptr,
                           const CWorkerTimings &timings = CWorkerTimings());
    ~frmProgPannel() override;

signals:
    void sgnClose();

public slots:
    void onCercaPortaClicked();
    void onLinkClicked();
    void onBancoClicked();
    void onIniezioneChanged(int value);
    void onSaveFlashClicked();
    void onReadFlashClicked();
    void onFlatProfileClicked();
    void onLoadProfileClicked();
    void onSaveProfileClicked();
    void onMuoviDestra();
    void onMuoviSinistra();
    void onMuoviSu();
    void onMuoviGiu();
    void onItalianoClicked();
    void onIngleseClicked();
    void onSelect2Cylinders();
    void onSelect4Cylinders();
    void onCloseClicked();
    void onAboutClicked();
    void onExpertModeClicked();
    void onReceiveSerialData();
    void onSendSerialData(const QByteArray &frame);
    void onPercentSndRcv(int percent);
    void onClearUpdateBar();
    void onEsitoSndRcv(const QString &result);
    void onEsitoRicercaPorta(const QString &result, const QString &name);
    void onUpdateValAdc(uchar level);
    void onUpdateRpm(int rpm);
    void onErrorRT(const QString &error);
    void execCmd(const QString &cmd);
    void onGetPassword(const QString &password);
    void onGetDeviceInfo(CDevInfo &info);

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    friend class MainWindowProbe; // tests reach the state through it

    void connectAll();
    void buildWorkbench();
    void retranslateWorkbench();
    void showReplayedSample(const CLiveSample &sample);
    void openRecentFile(const QString &path);
    void updateControls();
    void retranslateAll();
    void switchLanguage(const QString &catalogue, const QString &code);
    void setWindowTitleText();
    void chooseVariant(bool fourCylinders);
    void selectVariant(bool fourCylinders, bool resetProfile);
    void setPlotTitles();
    void showProfileLabel();
    void showBench(bool on);
    void resetReadouts();
    void showTransferOutcome(const CTransferOutcome &outcome, const FlashImage &read);
    void showProfileName(const FlashImage &read);
    void warnWriteDifferences(const CTransferOutcome &outcome);
    void warnBackupFailed(const QString &path, const QString &error);
    void warnCommunication(int titleKey);
    void warnProfileFile(const QString &text);
    void finishExit(bool acknowledged);
    // The questions and files of the sequences.
    bool settleUnsavedProfile() override;
    FileOutcome loadProfileFile(const QString &path) override;
    FileOutcome saveProfileFile() override;
    BenchAtExit askBenchAtExit() override;
    bool cutWriteShort() override;
    frmAbout *about();
    frmLogin *login();

    Ui::frmProgPannel *ui;
    CEcuSession *session = nullptr; // first to go: the workers before any widget
    CProfileDocument *document = nullptr;
    CEcuSequencer *sequencer = nullptr;
    CProfilePlot *plot = nullptr;
    CProfileEditor *editor = nullptr;
    // The tuner's workbench: views in dock widgets, shown from menuStrumenti.
    CWorkbenchViews *views = nullptr;
    QMenu *menuStrumenti = nullptr;
    CProfileTableDock *tableDock = nullptr;
    CDataLogDock *dataLogDock = nullptr;
    CCellTimeView *cellTime = nullptr;
    CProfileExporter *exporter = nullptr;
    CRecentFiles *recentFiles = nullptr;
    CRpmGauge *rpmGauge = nullptr;
    CReadoutPacer *readouts = nullptr; // the live readouts at the display's pace
    QLabel *deviceInfoLabel = nullptr;
    QLabel *profileNameLabel = nullptr;
    QLabel *selectionLabel = nullptr;
    CStatusNotice *notice = nullptr;
    frmRicercaPorta *ricercaPorta = nullptr;
    frmAbout *aboutDialog = nullptr;
    frmLogin *loginDialog = nullptr;
    QTranslator *switchTranslator = nullptr; // installed by the latest language switch
};

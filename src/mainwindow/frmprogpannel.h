#pragma once

#include "comm/cdevinfo.h"
#include "comm/eculine.h"
#include "profile/plotoverlays.h"
#include "profile/profilemodel.h"

#include <QByteArray>
#include <QMainWindow>
#include <QSerialPort>
#include <QString>
#include <QVector>
#include <hidapi/hidapi.h>

class CanvasPicker;
class CGestRT;
class CGestReceive;
class CGestSend;
class CHidTransport;
class CRpmGauge;
class frmAbout;
class frmLogin;
class frmRicercaPorta;
class QLabel;
class QTranslator;
class QwtPlotCurve;

namespace Ui {
class frmProgPannel;
}

// Answer time-outs and budgets of the three workers. The program uses the
// defaults; tests pass shorter ones.
struct CWorkerTimings
{
    int transferTimeoutMs = 500;
    int transferRetries = 20;
    int linkTimeoutMs = 300;
    int linkRetries = 30;
};

// The outcome of a profile file operation.
enum class FileOutcome { Done, Cancelled, OpenFailure };

// The main window and controller of the whole application: it owns every
// long-lived object, holds the shared state and receives every signal. Its
// slots live in the files of their subsystems.
class frmProgPannel : public QMainWindow
{
    Q_OBJECT
public:
    explicit frmProgPannel(QWidget *parent = nullptr,
                           const CWorkerTimings &timings = CWorkerTimings());
    ~frmProgPannel() override;

signals:
    void sgnClose();

public slots:
    // link control
    void onCercaPortaClicked();
    void onLinkClicked();
    void onBancoClicked();
    void onIniezioneChanged(int value);
    // transfers
    void onSaveFlashClicked();
    void onReadFlashClicked();
    // profile
    void onFlatProfileClicked();
    void onLoadProfileClicked();
    void onSaveProfileClicked();
    void onOpenBackupFolder();
    void onMuoviDestra();
    void onMuoviSinistra();
    void onMuoviSu();
    void onMuoviGiu();
    // editing
    void onEstendiSinistra();
    void onEstendiDestra();
    void onAumenta();
    void onDiminuisci();
    void onImpostaValore();
    void onScala();
    void onInterpola();
    void onLeviga();
    void onConfrontaConFile();
    void onRipristinaRiferimento();
    void onLiveRpm(int rpm);
    void onIdxCella(uchar index);
    void onValCella(uchar value);
    // language
    void onItalianoClicked();
    void onIngleseClicked();
    // variant
    void onSelect2Cylinders();
    void onSelect4Cylinders();
    void onCloseClicked();
    void onAboutClicked();
    void onExpertModeClicked();
    // transport
    void onReceiveSerialData();
    void onSendSerialData(const QByteArray &frame);
    // readouts
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

private slots:
    // transport: an answer from the HID device's thread, an error of the port
    void onHidAnswer(const QByteArray &frame);
    void onPortError(QSerialPort::SerialPortError error);

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    friend class MainWindowProbe; // tests reach the state through it

    void connectAll();
    void retranslateAll();
    void switchLanguage(const QString &catalogue, const QString &code);
    void selectVariant(bool fourCylinders);
    void setupPlot();
    void setPlotTitles();
    void setFlatCurve(double value, CProfileModel::Step step = CProfileModel::Step::Edit);
    void setProfileValues(const QVector<double> &values,
                          CProfileModel::Step step = CProfileModel::Step::Edit);
    void drawProfile();
    void drawReference();
    void drawSelection();
    void connectEditing();
    void showSelectionInfo();
    bool editableSelection();
    QVector<double> profileValues() const;
    QwtPlotCurve *findProfileCurve() const;
    FileOutcome loadProfileFile();
    FileOutcome saveProfileFile();
    void warnProfileFile(const QString &text);
    bool settleUnsavedProfile();
    void applyFlashImage();
    void restoreProfileBeforeRead();
    void backupReadProfile();
    void endTransferWithDifferences(const WriteCheck &check);
    void buildFlashImage();
    void setTransferControlsEnabled(bool enabled);
    void handAnswer(const QByteArray &frame);
    void showPlaceholderProfile();
    // The ECU line has one exchange owner at a time: while a command waits
    // for the line or a transfer runs, nothing else may start one.
    bool lineBusy() const;
    void requestLineCommand(const QString &cmd);
    void updateLineActions();
    void setCloseEnabled(bool enabled);
    void searchOrDisconnect();
    void endConnection();
    void applyLineSettings();

    Ui::frmProgPannel *ui;
    CRpmGauge *rpmGauge = nullptr;
    QwtPlotCurve *profileCurve = nullptr; // draws profileModel
    CProfileModel profileModel;
    COverlayCurve *referenceCurve = nullptr;
    COverlayCurve *rangeCurve = nullptr;
    CLiveCellMarker liveCell{&profileModel};
    int liveCellIndex = 0;
    QLabel *selectionLabel = nullptr;
    CanvasPicker *picker = nullptr;
    bool connected = false;
    bool bancoOn = false;
    bool linkOn = false;
    bool profileFileShown = false;
    QLabel *deviceInfoLabel = nullptr;
    CDevInfo devInfo;
    QLabel *profileNameLabel = nullptr;
    QString portName;
    double maxRpm = 12000.0;
    QByteArray flashBuffer;
    struct ProfileBeforeRead
    {
        QVector<double> values;
        QString pathText;
        bool fileShown = false;
        bool held = false; // a read is under way
    } beforeRead;
    QByteArray rxFrame;
    QSerialPort *port = nullptr;
    hid_device *hidDevice = nullptr;
    CGestSend *gestSend = nullptr;
    CGestReceive *gestReceive = nullptr;
    CGestRT *gestRT = nullptr;
    CHidTransport *hidTransport = nullptr; // every HID exchange, off the GUI thread
    CEcuLine ecuLine;                      // gaps and silences of the line
    bool commandPending = false;           // handed to gestRT, not yet back
    bool transferRunning = false;          // a flash read or write is under way
    bool writeRunning = false;             // ... and it is a write
    // A write and the read that checks it are one transfer.
    enum class WritePhase { None, Unverified, Writing, Verifying };
    WritePhase writePhase = WritePhase::None;
    QByteArray writtenImage;               // what the running write sends
    frmRicercaPorta *ricercaPorta = nullptr;
    frmAbout *aboutDialog = nullptr;
    frmLogin *loginDialog = nullptr;
    float valueMin = -10.0f;
    float valueMax = 25.0f;
    int valueAxisStep = 5;
    int keyStepPixels = 10;
    QTranslator *switchTranslator = nullptr; // installed by the latest language switch
};

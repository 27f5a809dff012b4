#pragma once

#include "comm/cdevinfo.h"

#include <QByteArray>
#include <QDialog>
#include <QString>

class CEcuLink;
class QTimer;

namespace Ui {
class frmRicercaPorta;
}

// The port search dialog: asks the HID device for its identity, or lists the
// serial ports and probes the one the user picks. The ports are opened,
// written and read by the line's own threads (CEcuLink); the dialog asks
// the link to open and close them, sends its probe through sgnSndByte and
// gets every answer through checkReply.
class frmRicercaPorta : public QDialog
{
    Q_OBJECT
public:
    // The name the search gives the HID route.
    static QString hidPortName();

    frmRicercaPorta(QWidget *parent, CEcuLink *link);
    ~frmRicercaPorta() override;

    void startSearch();
    // Lists the serial ports and probes the one named (added to the list when
    // it is not there, e.g. a device path). When the ECU answers, the dialog
    // closes itself and reports the port like a search the user made.
    void probePort(const QString &name);
    void checkReply(const QByteArray &reply);
    void retranslateUi();
    // Escape closes the dialog like its close buttons, so the result is
    // reported. (QDialog's own slot; the dialog declares no slot for it.)
    void reject() override;

signals:
    void sgnSndByte(QByteArray frame);
    void sgnEsito(QString result, QString portName);
    void sgnClose();
    void sgnDeviceInfo(CDevInfo &info);

public slots:
    void onSelezionePortaClicked(const QString &name);
    void onSendSerialData(const QByteArray &frame);
    void onTimeout();
    void onClose();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void showResult(const QString &result);
    void endProbe();
    void listSerialPorts();
    void onHidProbe(const QByteArray &report);
    void sendProbe();

    Ui::frmRicercaPorta *ui;
    CEcuLink *link;             // the line: the HID device, the serial ports
    QString portName;
    QTimer *timer;
    QTimer *settleTimer;        // quiet time between opening a port and the probe
    bool searching = false;
    bool settling = false;      // a port was opened; the probe follows
    bool hidProbing = false;    // the HID identity request is under way
    bool waitCursor = false;
    bool closeWhenFound = false;
};

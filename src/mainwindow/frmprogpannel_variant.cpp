// ECU variant (two or four cylinders) and the identity the ECU reports.
#include "frmprogpannel.h"

#include "cmsg.h"
#include "gauge/crpmgauge.h"
#include "profile/profilecodec.h"
#include "ui_frmprogpannel.h"

#include <QLabel>
#include <QPixmap>
#include <QSettings>

void frmProgPannel::onSelect2Cylinders()
{
    selectVariant(false);
}

void frmProgPannel::onSelect4Cylinders()
{
    selectVariant(true);
}

void frmProgPannel::selectVariant(bool fourCylinders)
{
    ui->actionCentralina_2cilindri->setChecked(!fourCylinders);
    ui->actionCentralina_4cilindri->setChecked(fourCylinders);

    profileFileShown = false;
    ui->lblPathProfilo->setText(CMsg::messages[4]);

    QSettings().setValue(QStringLiteral("Cylinders"),
                         fourCylinders ? QStringLiteral("4") : QStringLiteral("2"));

    maxRpm = fourCylinders ? 17000.0 : 12000.0;

    rpmGauge->setSkin(fourCylinders ? QStringLiteral("RPMbackground16000.svg")
                                    : QStringLiteral("RPMbackground12000.svg"));
    rpmGauge->setMaximum(fourCylinders ? 17000 : 12000);
    rpmGauge->setEndAngle(fourCylinders ? 149.0 : 133.0);

    setupPlot();

    ui->lblLogo->setPixmap(QPixmap(fourCylinders ? QStringLiteral(":/images/imgs/vantor4.jpg")
                                                 : QStringLiteral(":/images/imgs/vantor2.jpg")));
}

void frmProgPannel::onGetDeviceInfo(CDevInfo &info)
{
    devInfo = info;

    deviceInfoLabel->setFrameStyle(QFrame::Box | QFrame::Sunken);
    QString text;
    if (devInfo.cylinders != 0) {
        text = QStringLiteral("ECU: HW%1 - CYL%2 - V%3.%4-R%5")
                   .arg(devInfo.hardware)
                   .arg(devInfo.cylinders)
                   .arg(QChar::fromLatin1(devInfo.versionMajor))
                   .arg(QChar::fromLatin1(devInfo.versionMinor))
                   .arg(QChar::fromLatin1(devInfo.revision));
    } else {
        text = QStringLiteral("ECU: HW%1 - V%2.%3-R%4")
                   .arg(devInfo.hardware)
                   .arg(QChar::fromLatin1(devInfo.versionMajor))
                   .arg(QChar::fromLatin1(devInfo.versionMinor))
                   .arg(QChar::fromLatin1(devInfo.revision));
    }
    deviceInfoLabel->setText(text);
    // Added once: the status bar keeps one entry per addWidget.
    if (deviceInfoLabel->parentWidget() != statusBar())
        statusBar()->addWidget(deviceInfoLabel, 0);
    deviceInfoLabel->show();

    const ValueRange range = valueRangeFor(devInfo.hardware);
    valueMin = range.valueMin;
    valueMax = range.valueMax;
    valueAxisStep = range.valueAxisStep;
    keyStepPixels = range.keyStepPixels;

    if (devInfo.cylinders == 2 || devInfo.cylinders == 4) {
        // The plot is rebuilt for the ECU, but the profile shown stays: the
        // read that follows asks before it replaces an edited one.
        const QVector<double> values = profileModel.values();
        const QString pathText = ui->lblPathProfilo->text();
        const bool fileShown = profileFileShown;
        if (devInfo.cylinders == 2)
            onSelect2Cylinders();
        else
            onSelect4Cylinders();
        profileModel.applyValues(values);
        ui->lblPathProfilo->setText(pathText);
        profileFileShown = fileShown;
        ui->actionCentralina_2cilindri->setEnabled(false);
        ui->actionCentralina_4cilindri->setEnabled(false);
    } else {
        ui->actionCentralina_2cilindri->setEnabled(true);
        ui->actionCentralina_4cilindri->setEnabled(true);
    }
}

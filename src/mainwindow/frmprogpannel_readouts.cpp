// Live readouts, transfer progress, expert mode and the About command.
#include "frmprogpannel.h"

#include "dialogs/frmabout.h"
#include "dialogs/frmlogin.h"
#include "frmprogpannel_styles.h"
#include "gauge/crpmgauge.h"
#include "profile/profilecodec.h"
#include "ui_frmprogpannel.h"

void frmProgPannel::onUpdateRpm(int rpm)
{
    if (!ui->btStartLink->isEnabled())
        return;
    ui->lcdRPM->display(rpm);
    rpmGauge->setValue(rpm);
}

void frmProgPannel::onUpdateValAdc(uchar level)
{
    if (!ui->btStartLink->isEnabled())
        return;
    ui->lblAdcSonda->setText(QString::number(level));
}

void frmProgPannel::onPercentSndRcv(int percent)
{
    // A checked write fills the bar once over both halves.
    if (writePhase == WritePhase::Writing || writePhase == WritePhase::Verifying)
        percent = phasedPercent(percent, writePhase == WritePhase::Verifying ? 1 : 0, 2);
    ui->progressBar->setValue(percent);
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
    loginDialog->clearPassword();
    loginDialog->show();
    loginDialog->setModal(true);
    loginDialog->activateWindow();
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
    aboutDialog->show();
}

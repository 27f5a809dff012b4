// The profile model's whole-profile changes: flat profiles and profile files.
#include "mainwindow/frmprogpannel.h"

#include "comm/cgestrt.h"
#include "mainwindow/cmsg.h"
#include "profile/profilecodec.h"
#include "profile/profilefolder.h"
#include "ui_frmprogpannel.h"

#include <QDataStream>
#include <QFile>
#include <QFileDialog>
#include <QSaveFile>
#include <qwt_plot_curve.h>

void frmProgPannel::setFlatCurve(double value, CProfileModel::Step step)
{
    setProfileValues(QVector<double>(ProfilePoints, value), step);
}

// One undo step; the model redraws the curve when the values change.
void frmProgPannel::setProfileValues(const QVector<double> &values, CProfileModel::Step step)
{
    profileModel.replaceValues(values, step);
}

QVector<double> frmProgPannel::profileValues() const
{
    if (!findProfileCurve())
        return QVector<double>();
    return profileModel.values();
}

QwtPlotCurve *frmProgPannel::findProfileCurve() const
{
    QwtPlotCurve *found = nullptr;
    const QwtPlotItemList items = ui->qwtPlot->itemList();
    for (QwtPlotItem *item : items) {
        if (item->rtti() == QwtPlotItem::Rtti_PlotCurve)
            found = static_cast<QwtPlotCurve *>(item);
    }
    return found;
}

void frmProgPannel::showPlaceholderProfile()
{
    ui->lblPathProfilo->setText(CMsg::messages[4]);
    profileFileShown = false;
}

void frmProgPannel::onFlatProfileClicked()
{
    setFlatCurve(ui->spProfiloPiatto->value());
    showPlaceholderProfile();
    ui->qwtPlot->setFocus(Qt::OtherFocusReason);
}

void frmProgPannel::onLoadProfileClicked()
{
    if (lineBusy())
        return; // the line is taken: the menu action is off meanwhile
    requestLineCommand(QStringLiteral("LOAD_PROFILE"));
}

void frmProgPannel::onSaveProfileClicked()
{
    if (lineBusy())
        return;
    requestLineCommand(QStringLiteral("SAVE_PROFILE"));
}

FileOutcome frmProgPannel::loadProfileFile()
{
    const QString name = QFileDialog::getOpenFileName(this, tr("Apre File di Profilo"),
                                                      profileFolder(),
                                                      tr("Profili (*.prf)"));
    if (name.isEmpty())
        return FileOutcome::Cancelled;
    QFile file(name);
    if (!file.open(QIODevice::ReadOnly))
        return FileOutcome::OpenFailure;
    ui->lblPathProfilo->setText(name);

    QDataStream in(&file);
    const ProfileData data = readProfile(in);
    ui->spKIniezione->setValue(data.k);
    file.close();

    profileFileShown = true;
    setProfileValues(data.values);
    profileModel.markSaved();
    ui->qwtPlot->setFocus(Qt::OtherFocusReason);
    return FileOutcome::Done;
}

FileOutcome frmProgPannel::saveProfileFile()
{
    if (!findProfileCurve())
        return FileOutcome::Cancelled;
    const QString name = QFileDialog::getSaveFileName(this, tr("Salva File di Profilo"),
                                                      profileFolder(),
                                                      tr("Profili (*.prf)"));
    if (name.isEmpty())
        return FileOutcome::Cancelled;

    // Written through a save file: a write that fails part-way leaves the old
    // file as it was and counts as an open failure.
    QSaveFile file(name);
    if (!file.open(QIODevice::WriteOnly))
        return FileOutcome::OpenFailure;
    QDataStream out(&file);
    writeProfile(out, profileValues(), profileModel.k());
    if (out.status() != QDataStream::Ok || !file.commit())
        return FileOutcome::OpenFailure;

    ui->lblPathProfilo->setText(name);
    profileFileShown = true;
    profileModel.markSaved();
    ui->qwtPlot->setFocus(Qt::OtherFocusReason);
    return FileOutcome::Done;
}

// The profile model's whole-profile changes: flat profiles and profile files.
#include "mainwindow/frmprogpannel.h"

#include "comm/cgestrt.h"
#include "mainwindow/cmsg.h"
#include "profile/profilebackup.h"
#include "profile/profilecodec.h"
#include "profile/profilefolder.h"
#include "ui_frmprogpannel.h"

#include <QDataStream>
#include <QDesktopServices>
#include <QUrl>
#include <QDir>
#include <QMessageBox>
#include <QFile>
#include <QFileDialog>
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

// The backups of the profiles read, in the system's file manager.
void frmProgPannel::onOpenBackupFolder()
{
    const QString folder = backupFolder();
    (void)QDir().mkpath(folder);
    QDesktopServices::openUrl(QUrl::fromLocalFile(folder));
}

FileOutcome frmProgPannel::loadProfileFile()
{
    const QString name = QFileDialog::getOpenFileName(this, tr("Apre File di Profilo"),
                                                      profileFolder(),
                                                      tr("Profili (*.prf)"));
    if (name.isEmpty())
        return FileOutcome::Cancelled;
    QFile file(name);
    if (!file.open(QIODevice::ReadOnly)) {
        warnProfileFile(tr("Impossibile aprire il file %1: %2")
                            .arg(QDir::toNativeSeparators(name), file.errorString()));
        return FileOutcome::OpenFailure;
    }
    // An interrupted copy or an empty file would load as zeros and could
    // then be written into the ECU: a file too short is refused whole.
    // Bytes past the 42nd are left alone (other tools may append more).
    if (file.size() < ProfileFileBytes) {
        warnProfileFile(tr("Il file %1 è lungo %2 byte, un profilo ne ha %3: "
                           "il file non è stato caricato.")
                            .arg(QDir::toNativeSeparators(name))
                            .arg(file.size())
                            .arg(ProfileFileBytes));
        return FileOutcome::OpenFailure;
    }
    QDataStream in(&file);
    const ProfileData data = readProfile(in);
    if (in.status() != QDataStream::Ok) {
        warnProfileFile(tr("Impossibile leggere il file %1: %2")
                            .arg(QDir::toNativeSeparators(name), file.errorString()));
        return FileOutcome::OpenFailure;
    }
    file.close();

    ui->lblPathProfilo->setText(name);
    ui->spKIniezione->setValue(data.k);
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
    QString name = QFileDialog::getSaveFileName(this, tr("Salva File di Profilo"),
                                                profileFolder(), tr("Profili (*.prf)"));
    if (name.isEmpty())
        return FileOutcome::Cancelled;
    name = withProfileSuffix(name);

    // A write that fails part-way leaves the old file as it was and counts
    // as an open failure.
    QString error;
    if (!writeProfileFile(name, profileValues(), profileModel.k(), &error)) {
        warnProfileFile(tr("Impossibile scrivere il file %1: %2")
                            .arg(QDir::toNativeSeparators(name), error));
        return FileOutcome::OpenFailure;
    }

    ui->lblPathProfilo->setText(name);
    profileFileShown = true;
    profileModel.markSaved();
    ui->qwtPlot->setFocus(Qt::OtherFocusReason);
    return FileOutcome::Done;
}

void frmProgPannel::warnProfileFile(const QString &text)
{
    QMessageBox::warning(this, tr("File di profilo"), text, QMessageBox::Ok);
}

// Before a read, a load or the end of the program replaces an edited
// profile: save it, drop it, or stay. True when the caller may go on. An
// unmodified profile asks nothing.
bool frmProgPannel::settleUnsavedProfile()
{
    if (!profileModel.isModified())
        return true;
    const QMessageBox::StandardButton answer = QMessageBox::question(
        this, tr("Mappa modificata"),
        tr("La mappa mostrata è stata modificata e non è stata salvata. "
           "Salvarla prima di continuare?"),
        QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, QMessageBox::Save);
    if (answer == QMessageBox::Discard)
        return true;
    if (answer == QMessageBox::Save)
        return saveProfileFile() == FileOutcome::Done;
    return false; // Cancel, or the box closed without an answer
}

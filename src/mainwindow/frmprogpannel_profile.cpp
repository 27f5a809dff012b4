// The window's slots for the profile: the flat map, the profile files with
// their dialogs and messages, the unsaved-changes question and the cursor
// commands. The document does the work.
#include "frmprogpannel.h"
#include "cstatusnotice.h"

#include "profile/profilecodec.h"
#include "profile/profiledocument.h"
#include "profile/profilefolder.h"
#include "profile/profileplot.h"
#include "profile/recentfiles.h"
#include "ui_frmprogpannel.h"

#include <QDir>
#include <QFileDialog>
#include <QMessageBox>

void frmProgPannel::onFlatProfileClicked()
{
    if (!document->setFlat(ui->spProfiloPiatto->value()))
        return; // a transfer runs
    ui->qwtPlot->setFocus(Qt::OtherFocusReason);
}

void frmProgPannel::onLoadProfileClicked()
{
    // The file dialog opens once no exchange is on the line; the line is
    // taken meanwhile, so the menu action is off.
    sequencer->load();
}

void frmProgPannel::onSaveProfileClicked()
{
    sequencer->save();
}

void frmProgPannel::onMuoviDestra()
{
    plot->cursorCommand(Qt::Key_Right);
}

void frmProgPannel::onMuoviSinistra()
{
    plot->cursorCommand(Qt::Key_Left);
}

void frmProgPannel::onMuoviSu()
{
    plot->cursorCommand(Qt::Key_Up);
}

void frmProgPannel::onMuoviGiu()
{
    plot->cursorCommand(Qt::Key_Down);
}

FileOutcome frmProgPannel::loadProfileFile(const QString &path)
{
    // A recent file chosen from the File menu is loaded without the dialog.
    const QString name = !path.isEmpty()
                             ? path
                             : QFileDialog::getOpenFileName(this, tr("Apre File di Profilo"),
                                                            profileFolder(),
                                                            tr("Profili (*.prf)"));
    if (name.isEmpty())
        return FileOutcome::Cancelled;
    QString error;
    if (!document->load(name, &error)) {
        warnProfileFile(error);
        return FileOutcome::OpenFailure;
    }
    recentFiles->add(name);
    notice->showMessage(tr("Mappa caricata da %1").arg(QDir::toNativeSeparators(name)));
    ui->qwtPlot->setFocus(Qt::OtherFocusReason);
    return FileOutcome::Done;
}

FileOutcome frmProgPannel::saveProfileFile()
{
    QString name = QFileDialog::getSaveFileName(this, tr("Salva File di Profilo"),
                                                profileFolder(), tr("Profili (*.prf)"));
    if (name.isEmpty())
        return FileOutcome::Cancelled;
    name = withProfileSuffix(name);
    QString error;
    if (!document->save(name, &error)) {
        warnProfileFile(error);
        return FileOutcome::OpenFailure;
    }
    recentFiles->add(name);
    notice->showMessage(tr("Mappa salvata in %1").arg(QDir::toNativeSeparators(name)));
    ui->qwtPlot->setFocus(Qt::OtherFocusReason);
    return FileOutcome::Done;
}

void frmProgPannel::warnProfileFile(const QString &text)
{
    QMessageBox::warning(this, tr("File di profilo"), text, QMessageBox::Ok);
}

// Before a read, a load, a variant change or the end of the program replaces
// an edited profile: save it, drop it, or stay. True when the caller may go
// on. An unmodified profile asks nothing.
bool frmProgPannel::settleUnsavedProfile()
{
    if (!document->isModified())
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

// The command sequencer: every operation that needs the ECU line or a file
// dialog runs as a named command handed back by the real-time worker once
// the line is free; transfer results come back here.
#include "mainwindow/frmprogpannel.h"

#include "comm/cgestreceive.h"
#include "comm/cgestrt.h"
#include "comm/cgestsend.h"
#include "mainwindow/cmsg.h"
#include "mainwindow/frmprogpannel_styles.h"
#include "profile/profilebackup.h"
#include "profile/profilecodec.h"
#include "ui_frmprogpannel.h"

#include <QDateTime>
#include <QDir>
#include <QLabel>
#include <QMessageBox>
#include <QSettings>
#include <QTimer>

void frmProgPannel::setTransferControlsEnabled(bool enabled)
{
    ui->btReadFlash->setEnabled(enabled);
    ui->btSaveFlash->setEnabled(enabled);
    ui->btBanco->setEnabled(enabled);
    ui->btStartLink->setEnabled(enabled);
    ui->btRicercaPorta->setEnabled(enabled);
    ui->btCaricaProfilo->setEnabled(enabled);
    ui->btSalvaProfilo->setEnabled(enabled);
    ui->btFlatProfile->setEnabled(enabled);
    ui->spKIniezione->setEnabled(enabled);
    ui->spProfiloPiatto->setEnabled(enabled);
}

bool frmProgPannel::lineBusy() const
{
    return commandPending || transferRunning;
}

// Hands a command to the line's gatekeeper. One command at a time: the
// callers check lineBusy() first, so none replaces another.
void frmProgPannel::requestLineCommand(const QString &cmd)
{
    commandPending = true;
    updateLineActions();
    gestRT->requestCommand(cmd);
}

// The menu actions that start a file operation or a search follow the
// panel's buttons: off while a command waits for the line or a transfer runs.
void frmProgPannel::updateLineActions()
{
    const bool free = !lineBusy();
    ui->actionCarica_Profilo->setEnabled(free);
    ui->actionSalva_Profilo->setEnabled(free);
    ui->actionCercaCentralina->setEnabled(free);
    ui->actionConfronta->setEnabled(free);
}

// "Termina programma" goes with the close button.
void frmProgPannel::setCloseEnabled(bool enabled)
{
    ui->btClose->setEnabled(enabled);
    ui->actionUscita_Programma->setEnabled(enabled);
}

void frmProgPannel::onReadFlashClicked()
{
    if (lineBusy())
        return;
    setTransferControlsEnabled(false);
    profileNameLabel->clear();
    statusBar()->update();
    requestLineCommand(QStringLiteral("FLASH_READ"));
}

void frmProgPannel::onSaveFlashClicked()
{
    if (lineBusy() || !findProfileCurve())
        return;
    if (devInfo.hardware >= 11 && ui->lblPathProfilo->text().contains(QLatin1Char('<'))) {
        requestLineCommand(QStringLiteral("SAVE_PROFILE_AND_SEND"));
        return;
    }
    profileNameLabel->clear();
    statusBar()->update();
    flashBuffer.clear();
    setTransferControlsEnabled(false);
    setCloseEnabled(false);
    buildFlashImage();
    requestLineCommand(QStringLiteral("FLASH_WRITE"));
}

void frmProgPannel::buildFlashImage()
{
    flashBuffer = buildFlashImageBytes(profileValues(), devInfo.hardware,
                                       ui->lblPathProfilo->text());
}

void frmProgPannel::execCmd(const QString &cmd)
{
    commandPending = false;
    const bool transfer = cmd == QLatin1String("FLASH_WRITE") || cmd == QLatin1String("FLASH_READ");
    if (transfer && !connected) {
        // Handed back just before the connection ended: there is nothing to
        // transfer to, and the disconnection has already freed the panel.
        updateLineActions();
        return;
    }
    if (cmd == QLatin1String("FLASH_READ") && !settleUnsavedProfile()) {
        // The user keeps the edited profile: no read, the panel is free again.
        setTransferControlsEnabled(true);
        updateLineActions();
        if (linkOn)
            gestRT->startLink();
        return;
    }
    if (transfer) {
        transferRunning = true;
        writeRunning = cmd == QLatin1String("FLASH_WRITE");
    }
    updateLineActions();
    if (cmd == QLatin1String("FLASH_WRITE")) {
        // "Line/VerifyWrites" (read, never written; on when missing): read
        // the written addresses back before the write counts as done.
        writtenImage = flashBuffer;
        writePhase = QSettings().value(QStringLiteral("Line/VerifyWrites"), true).toBool()
                         ? WritePhase::Writing
                         : WritePhase::Unverified;
        gestSend->startSend(0);
        return;
    }
    if (cmd == QLatin1String("FLASH_READ")) {
        gestReceive->startReceive(0, devInfo.hardware);
        // What a failed read puts back.
        beforeRead = {profileModel.values(), ui->lblPathProfilo->text(), profileFileShown, true};
        showPlaceholderProfile();
        setFlatCurve(0, CProfileModel::Step::ReadStart);
        return;
    }
    if (cmd == QLatin1String("LOAD_PROFILE")) {
        // Whatever the outcome (a failure has told the user why), polling
        // goes on as the user set it.
        if (settleUnsavedProfile())
            loadProfileFile();
        if (linkOn)
            gestRT->startLink();
        return;
    }
    if (cmd.contains(QLatin1String("SAVE_PROFILE"))) {
        const FileOutcome outcome = saveProfileFile();
        if (outcome == FileOutcome::Done && cmd == QLatin1String("SAVE_PROFILE_AND_SEND"))
            onSaveFlashClicked();
        else if (linkOn)
            gestRT->startLink();
    }
}

void frmProgPannel::onEsitoSndRcv(const QString &result)
{
    if (writePhase == WritePhase::Writing && result == QLatin1String("OK_SND") && connected) {
        // Every byte acknowledged: now read them back. The read reports
        // through this slot too.
        writePhase = WritePhase::Verifying;
        gestReceive->startReceive(0, devInfo.hardware);
        return;
    }
    const bool write = writePhase != WritePhase::None;
    const bool verified = writePhase == WritePhase::Verifying;
    // A write still to be checked when the connection has gone cannot be
    // checked: it does not count as done.
    const bool unchecked = writePhase == WritePhase::Writing;
    writePhase = WritePhase::None;
    if (verified && result.startsWith(QLatin1String("OK"))) {
        const WriteCheck check = checkWrittenImage(writtenImage, flashBuffer);
        if (!check.ok()) {
            endTransferWithDifferences(check);
            return;
        }
    }
    // A read-back that failed is the write's failure: the same disconnection
    // and the same warning.
    QString outcome = result;
    if (write) {
        const bool ok = result.startsWith(QLatin1String("OK")) && !unchecked;
        outcome = ok ? QStringLiteral("OK_SND") : QStringLiteral("KO_SND");
    }
    transferRunning = false;
    writeRunning = false;
    setTransferControlsEnabled(true);
    setCloseEnabled(true);
    updateLineActions();

    if (outcome.startsWith(QLatin1String("OK"))) {
        if (outcome.endsWith(QLatin1String("RCV"))) {
            beforeRead.held = false;
            applyFlashImage();
        } else {
            profileModel.markSaved(); // the ECU holds what is shown
        }
        if (linkOn)
            gestRT->startLink();
        QTimer::singleShot(1000, this, &frmProgPannel::onClearUpdateBar);
        if (outcome.endsWith(QLatin1String("RCV")))
            backupReadProfile();
        return;
    }
    if (outcome.startsWith(QLatin1String("KO"))) {
        if (outcome.endsWith(QLatin1String("RCV")))
            restoreProfileBeforeRead();
        if (connected) {
            searchOrDisconnect(); // the disconnection
        } else {
            // The connection ended under the transfer (the ECU was
            // unplugged): it stays ended, its buttons stay off.
            ui->btStartLink->setEnabled(false);
            ui->btSaveFlash->setEnabled(false);
            ui->btReadFlash->setEnabled(false);
            ui->btBanco->setEnabled(false);
        }
        if (linkOn)
            onLinkClicked();
        onClearUpdateBar();
        QMessageBox::warning(this, CMsg::messages[outcome.endsWith(QLatin1String("RCV")) ? 13 : 14],
                             CMsg::messages[15], QMessageBox::Ok, QMessageBox::NoButton);
    }
}

// The ECU acknowledged every byte but holds something else: the write has
// failed. The line works, so the connection stays; the user is told which
// points differ.
void frmProgPannel::endTransferWithDifferences(const WriteCheck &check)
{
    transferRunning = false;
    writeRunning = false;
    setTransferControlsEnabled(true);
    setCloseEnabled(true);
    updateLineActions();
    if (linkOn)
        gestRT->startLink();
    onClearUpdateBar();

    const QVector<double> keys = profileKeys(maxRpm);
    QStringList where;
    for (int i : check.points) {
        if (where.size() == 5) {
            where << QStringLiteral("\u2026");
            break;
        }
        where << tr("%1 giri/min").arg(keys.value(i));
    }
    if (check.nameDiffers)
        where << tr("nome del profilo");
    QMessageBox::warning(this, CMsg::messages[14],
                         tr("La verifica della scrittura ha trovato valori diversi da quelli "
                            "inviati (%1). La mappa su ECU Vantor non è quella mostrata.")
                             .arg(where.join(QStringLiteral(", "))),
                         QMessageBox::Ok, QMessageBox::NoButton);
}

// Every profile read is kept as a file of its own; a backup that cannot be
// written is reported and changes nothing else.
void frmProgPannel::backupReadProfile()
{
    const FlashImage image = parseFlashImage(flashBuffer, devInfo.hardware);
    const QString name = backupFileName(QDateTime::currentDateTime(), devInfo);
    const QString folder = backupFolder();
    QString error;
    if (!writeBackup(folder, name, image.values, image.k, &error).isEmpty())
        return;
    QMessageBox::warning(this, CMsg::messages[13],
                         tr("Impossibile salvare la copia di sicurezza della mappa letta in "
                            "%1: %2")
                             .arg(QDir::toNativeSeparators(QDir(folder).filePath(name)), error),
                         QMessageBox::Ok, QMessageBox::NoButton);
}

void frmProgPannel::applyFlashImage()
{
    const FlashImage image = parseFlashImage(flashBuffer, devInfo.hardware);
    if (image.hasName) {
        profileNameLabel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        profileNameLabel->setText(image.name);
        // Added once: the status bar keeps one entry per addWidget, and an
        // entry left behind for a deleted label would dangle.
        if (profileNameLabel->parentWidget() != statusBar())
            statusBar()->addWidget(profileNameLabel, 0);
        profileNameLabel->show();
    }
    setProfileValues(image.values, CProfileModel::Step::ReadEnd);
    profileModel.setReference(image.values);
    ui->spKIniezione->setValue(image.k);
    profileModel.markSaved();
    if (image.benchOn) {
        ui->btBanco->setStyleSheet(QStringLiteral(BANCO_ON_STYLE));
        ui->btBanco->setText(CMsg::messages[2]);
    } else {
        ui->btBanco->setStyleSheet(QStringLiteral(BANCO_OFF_STYLE));
        ui->btBanco->setText(CMsg::messages[3]);
    }
    // The next press of the test-bench button sends the opposite of what it shows.
    bancoOn = image.benchOn;
}

// A read that failed leaves the curve and the file label it found.
void frmProgPannel::restoreProfileBeforeRead()
{
    if (!beforeRead.held)
        return;
    beforeRead.held = false;
    setProfileValues(beforeRead.values, CProfileModel::Step::ReadEnd);
    ui->lblPathProfilo->setText(beforeRead.pathText);
    profileFileShown = beforeRead.fileShown;
}

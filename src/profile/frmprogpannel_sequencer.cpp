// The command sequencer: every operation that needs the ECU line or a file
// dialog runs as a named command handed back by the real-time worker once
// the line is free; transfer results come back here.
#include "mainwindow/frmprogpannel.h"

#include "comm/cgestreceive.h"
#include "comm/cgestrt.h"
#include "comm/cgestsend.h"
#include "mainwindow/cmsg.h"
#include "mainwindow/frmprogpannel_styles.h"
#include "profile/profilecodec.h"
#include "ui_frmprogpannel.h"

#include <QLabel>
#include <QMessageBox>
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
    if (transfer) {
        transferRunning = true;
        writeRunning = cmd == QLatin1String("FLASH_WRITE");
    }
    updateLineActions();
    if (cmd == QLatin1String("FLASH_WRITE")) {
        gestSend->startSend(0);
        return;
    }
    if (cmd == QLatin1String("FLASH_READ")) {
        gestReceive->startReceive(0, devInfo.hardware);
        showPlaceholderProfile();
        setFlatCurve(0, CProfileModel::Step::ReadStart);
        return;
    }
    if (cmd == QLatin1String("LOAD_PROFILE")) {
        const FileOutcome outcome = loadProfileFile();
        if (outcome != FileOutcome::OpenFailure && linkOn)
            gestRT->startLink();
        return;
    }
    if (cmd.contains(QLatin1String("SAVE_PROFILE"))) {
        const FileOutcome outcome = saveProfileFile();
        if (outcome == FileOutcome::Cancelled) {
            if (linkOn)
                gestRT->startLink();
        } else if (outcome == FileOutcome::Done) {
            if (cmd == QLatin1String("SAVE_PROFILE_AND_SEND"))
                onSaveFlashClicked();
            else if (linkOn)
                gestRT->startLink();
        }
    }
}

void frmProgPannel::onEsitoSndRcv(const QString &result)
{
    transferRunning = false;
    writeRunning = false;
    setTransferControlsEnabled(true);
    setCloseEnabled(true);
    updateLineActions();

    if (result.startsWith(QLatin1String("OK"))) {
        if (result.endsWith(QLatin1String("RCV")))
            applyFlashImage();
        if (linkOn)
            gestRT->startLink();
        QTimer::singleShot(1000, this, &frmProgPannel::onClearUpdateBar);
        return;
    }
    if (result.startsWith(QLatin1String("KO"))) {
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
        QMessageBox::warning(this, CMsg::messages[result.endsWith(QLatin1String("RCV")) ? 13 : 14],
                             CMsg::messages[15], QMessageBox::Ok, QMessageBox::NoButton);
    }
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

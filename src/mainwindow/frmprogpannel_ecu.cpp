// The window's slots for the ECU: the connection, the link, the commands
// queued for the ECU, the transfers and their results, and the line. Each
// hands its work to the session and shows what comes of it.
#include "frmprogpannel.h"
#include "cstatusnotice.h"

#include "cmsg.h"
#include "comm/ecucommands.h"
#include "portsearch/frmricercaporta.h"
#include "profile/profilebackup.h"
#include "profile/profilecodec.h"
#include "profile/profiledocument.h"
#include "ui_frmprogpannel.h"

#include <QDateTime>
#include <QDir>
#include <QLabel>
#include <QMessageBox>
#include <QTimer>

void frmProgPannel::onCercaPortaClicked()
{
    // Neither a search nor a disconnection while a command waits for the
    // line or a transfer runs.
    if (!session->mayStartCommand())
        return;
    ui->lblVirtualPort->setText(CMsg::messages[5]);
    ui->lblVirtualPort->setToolTip(QString());
    if (!session->isConnected()) {
        ricercaPorta->startSearch();
        ricercaPorta->show();
        return;
    }
    session->endConnection();
}

void frmProgPannel::onLinkClicked()
{
    session->toggleLink();
}

void frmProgPannel::onBancoClicked()
{
    session->toggleBench();
}

void frmProgPannel::onIniezioneChanged(int value)
{
    session->queueK(value);
}

void frmProgPannel::onErrorRT(const QString &error)
{
    if (!error.startsWith(QLatin1String("KO")))
        return;
    // A report from a connection that has already ended opens nothing and
    // warns no more.
    if (!session->linkFailed())
        return;
    warnCommunication(15);
}

void frmProgPannel::warnCommunication(int titleKey)
{
    QMessageBox::warning(this, CMsg::messages[titleKey], CMsg::messages[15], QMessageBox::Ok,
                         QMessageBox::NoButton);
}

void frmProgPannel::onReadFlashClicked()
{
    if (!session->mayUseEcu())
        return;
    profileNameLabel->clear();
    statusBar()->update();
    session->requestCommand(EcuCommand::FlashRead);
}

void frmProgPannel::onSaveFlashClicked()
{
    if (!session->mayUseEcu())
        return;
    // From hardware 11 on, a write goes through a file: without one shown,
    // the profile is saved first.
    if (session->hardware() >= 11 && !document->fileShown()) {
        session->requestCommand(EcuCommand::SaveProfileAndSend);
        return;
    }
    profileNameLabel->clear();
    statusBar()->update();
    session->requestWrite(document->flashImage(session->hardware()));
}

void frmProgPannel::execCmd(const QString &cmd)
{
    // The session takes what is its own (the switch-off at exit) and what
    // it no longer waits for.
    if (!session->takeCommand(cmd))
        return;
    if (cmd == EcuCommand::FlashWrite) {
        session->startWrite();
        return;
    }
    if (cmd == EcuCommand::FlashRead) {
        // The question waits for the user; the connection may end meanwhile,
        // so the session is asked again afterwards.
        if (!settleUnsavedProfile() || !session->startRead()) {
            session->endCommand();
            return;
        }
        document->beginRead();
        return;
    }
    if (cmd == EcuCommand::LoadProfile) {
        // Whatever the outcome (a failure has told the user why), polling
        // goes on as the user set it.
        if (settleUnsavedProfile())
            loadProfileFile();
        recentToLoad.clear();
        session->endCommand();
        return;
    }
    if (cmd == EcuCommand::SaveProfile || cmd == EcuCommand::SaveProfileAndSend) {
        const bool saved = saveProfileFile() == FileOutcome::Done;
        if (saved && cmd == EcuCommand::SaveProfileAndSend) {
            // The write follows as a command of its own.
            session->endCommand(false);
            onSaveFlashClicked();
            return;
        }
        session->endCommand();
        return;
    }
    session->endCommand();
}

void frmProgPannel::onEsitoSndRcv(const QString &result)
{
    // What the transfer came to follows through transferEnded.
    session->transferResult(result);
}

void frmProgPannel::handleTransferOutcome(const CTransferOutcome &outcome)
{
    switch (outcome.kind) {
    case CTransferOutcome::None:
        return;
    case CTransferOutcome::ReadDone:
        readFrom = deviceInfoLabel->text();
        applyReadImage(outcome.image);
        notice->showMessage(tr("Mappa letta dalla centralina"));
        QTimer::singleShot(1000, this, &frmProgPannel::onClearUpdateBar);
        backupReadProfile(outcome.image);
        return;
    case CTransferOutcome::WriteDone:
        // The ECU holds the image written: that is the saved profile now.
        document->writeDone(outcome.image, session->hardware());
        // "Verified" only when the written bytes were read back.
        notice->showMessage(outcome.checked ? tr("Mappa scritta nella centralina e verificata")
                                            : tr("Mappa scritta nella centralina"));
        QTimer::singleShot(1000, this, &frmProgPannel::onClearUpdateBar);
        return;
    case CTransferOutcome::WriteDiffers:
        onClearUpdateBar();
        notice->showMessage(tr("Scrittura non riuscita: la verifica ha trovato differenze"));
        warnWriteDifferences(outcome);
        return;
    case CTransferOutcome::ReadFailed:
    case CTransferOutcome::WriteFailed: {
        const bool read = outcome.kind == CTransferOutcome::ReadFailed;
        if (read)
            document->failRead(); // the curve and file label it found
        onClearUpdateBar();
        notice->showMessage(read ? tr("Lettura non riuscita") : tr("Scrittura non riuscita"));
        warnCommunication(read ? 13 : 14);
        return;
    }
    }
}

void frmProgPannel::applyReadImage(const QByteArray &image)
{
    const FlashImage parsed = document->finishRead(image, session->hardware());
    if (parsed.hasName) {
        profileNameLabel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        profileNameLabel->setText(parsed.name);
        // Added once: the status bar keeps one entry per addWidget.
        if (profileNameLabel->parentWidget() != statusBar())
            statusBar()->addWidget(profileNameLabel, 0);
        profileNameLabel->show();
    }
    // The next press of the test-bench button sends the opposite of what it
    // shows.
    session->setBenchOn(parsed.benchOn);
}

// The ECU acknowledged every byte but holds something else: the write has
// failed. The line works, so the connection stays; the user is told which
// points differ, and the profile stays modified.
void frmProgPannel::warnWriteDifferences(const CTransferOutcome &outcome)
{
    document->writeCheckFailed();
    const WriteCheck check = checkWrittenImage(outcome.image, outcome.readBack);
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
void frmProgPannel::backupReadProfile(const QByteArray &image)
{
    QString error;
    const QDateTime now = QDateTime::currentDateTime();
    if (!document->backupRead(image, session->hardware(), session->devInfo(), now, &error)
             .isEmpty())
        return;
    const QString name = backupFileName(now, session->devInfo());
    QMessageBox::warning(this, CMsg::messages[13],
                         tr("Impossibile salvare la copia di sicurezza della mappa letta in "
                            "%1: %2")
                             .arg(QDir::toNativeSeparators(QDir(backupFolder()).filePath(name)),
                                  error),
                         QMessageBox::Ok, QMessageBox::NoButton);
}

// The line --------------------------------------------------------------------

// A frame from the window's thread (the port search's probe): the line's
// thread writes it. The workers write theirs through the line directly.
void frmProgPannel::onSendSerialData(const QByteArray &frame)
{
    session->sendFrame(frame);
}

// The answers that came while the port search probes, in order, for the
// dialog. While a connection is in use the answers go to the workers on the
// line's thread and never come here.
void frmProgPannel::onReceiveSerialData()
{
    const QList<QByteArray> answers = session->link()->takeSearchAnswers();
    for (const QByteArray &frame : answers)
        ricercaPorta->checkReply(frame);
}

void frmProgPannel::onEsitoRicercaPorta(const QString &result, const QString &name)
{
    if (result == QLatin1String("OK")) {
        session->connectTo(name);
        onReadFlashClicked();
        return;
    }
    session->searchFailed();
}

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
    sequencer->read();
}

void frmProgPannel::onSaveFlashClicked()
{
    sequencer->write();
}

void frmProgPannel::execCmd(const QString &cmd)
{
    sequencer->execCmd(cmd);
}

void frmProgPannel::onEsitoSndRcv(const QString &result)
{
    // What the transfer came to follows through the sequencer.
    session->transferResult(result);
}

// A transfer has ended and the profile has taken it in: what the user sees.
void frmProgPannel::showTransferOutcome(const CTransferOutcome &outcome, const FlashImage &read)
{
    switch (outcome.kind) {
    case CTransferOutcome::None:
        return;
    case CTransferOutcome::ReadDone:
        showProfileName(read);
        notice->showMessage(tr("Mappa letta dalla centralina"));
        QTimer::singleShot(1000, this, &frmProgPannel::onClearUpdateBar);
        return;
    case CTransferOutcome::WriteDone:
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
        onClearUpdateBar();
        notice->showMessage(read ? tr("Lettura non riuscita") : tr("Scrittura non riuscita"));
        warnCommunication(read ? 13 : 14);
        return;
    }
    }
}

// From hardware 20 on the ECU holds the profile's name: it is shown.
void frmProgPannel::showProfileName(const FlashImage &read)
{
    if (!read.hasName)
        return;
    profileNameLabel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    profileNameLabel->setText(read.name);
    // Added once: the status bar keeps one entry per addWidget.
    if (profileNameLabel->parentWidget() != statusBar())
        statusBar()->addWidget(profileNameLabel, 0);
    profileNameLabel->show();
}

// The ECU acknowledged every byte but holds something else: the write has
// failed. The line works, so the connection stays; the user is told which
// points differ, and the profile stays modified.
void frmProgPannel::warnWriteDifferences(const CTransferOutcome &outcome)
{
    const WriteCheck check = checkWrittenImage(outcome.image, outcome.readBack);
    const QVector<double> keys = profileKeys(document->maxRpm());
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

// The backup of a read could not be written: said once; nothing else changes.
void frmProgPannel::warnBackupFailed(const QString &path, const QString &error)
{
    QMessageBox::warning(this, CMsg::messages[13],
                         tr("Impossibile salvare la copia di sicurezza della mappa letta in "
                            "%1: %2")
                             .arg(QDir::toNativeSeparators(path), error),
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
        // The connection starts with a read.
        sequencer->connectTo(name);
        return;
    }
    session->searchFailed();
}

// Editing like a tuner: undo and redo, ranges of points, typed values, the
// reference curve and the cell the ECU uses at the moment. The profile model
// does the work; these slots wire the Edit menu, the link and the status bar
// to it.
#include "mainwindow/frmprogpannel.h"

#include "comm/cgestrt.h"
#include "profile/canvaspicker.h"
#include "profile/profilecodec.h"
#include "ui_frmprogpannel.h"

#include <QDataStream>
#include <QFile>
#include <QFileDialog>
#include <QInputDialog>
#include <QLabel>
#include <QMessageBox>
#include <QStatusBar>
#include <cmath>

void frmProgPannel::connectEditing()
{
    const QUndoStack *undo = profileModel.undoStack();
    connect(ui->actionAnnulla, &QAction::triggered, &profileModel, &CProfileModel::undo);
    connect(ui->actionRipeti, &QAction::triggered, &profileModel, &CProfileModel::redo);
    ui->actionAnnulla->setEnabled(undo->canUndo());
    ui->actionRipeti->setEnabled(undo->canRedo());
    connect(undo, &QUndoStack::canUndoChanged, ui->actionAnnulla, &QAction::setEnabled);
    connect(undo, &QUndoStack::canRedoChanged, ui->actionRipeti, &QAction::setEnabled);

    connect(ui->actionEstendi_Sinistra, &QAction::triggered, this, &frmProgPannel::onEstendiSinistra);
    connect(ui->actionEstendi_Destra, &QAction::triggered, this, &frmProgPannel::onEstendiDestra);
    connect(ui->actionAumenta, &QAction::triggered, this, &frmProgPannel::onAumenta);
    connect(ui->actionDiminuisci, &QAction::triggered, this, &frmProgPannel::onDiminuisci);
    connect(ui->actionImposta_Valore, &QAction::triggered, this, &frmProgPannel::onImpostaValore);
    connect(ui->actionScala, &QAction::triggered, this, &frmProgPannel::onScala);
    connect(ui->actionInterpola, &QAction::triggered, this, &frmProgPannel::onInterpola);
    connect(ui->actionLeviga, &QAction::triggered, this, &frmProgPannel::onLeviga);
    connect(ui->actionConfronta, &QAction::triggered, this, &frmProgPannel::onConfrontaConFile);
    connect(ui->actionRipristina, &QAction::triggered, this,
            &frmProgPannel::onRipristinaRiferimento);

    ui->actionAnnulla->setShortcut(QKeySequence(Qt::CTRL + Qt::Key_Z));
    ui->actionRipeti->setShortcuts({QKeySequence(Qt::CTRL + Qt::SHIFT + Qt::Key_Z),
                                    QKeySequence(Qt::CTRL + Qt::Key_Y)});
    ui->actionEstendi_Sinistra->setShortcut(QKeySequence(Qt::SHIFT + Qt::Key_Left));
    ui->actionEstendi_Destra->setShortcut(QKeySequence(Qt::SHIFT + Qt::Key_Right));
    ui->actionAumenta->setShortcut(QKeySequence(Qt::CTRL + Qt::Key_Up));
    ui->actionDiminuisci->setShortcut(QKeySequence(Qt::CTRL + Qt::Key_Down));
    ui->actionImposta_Valore->setShortcuts({QKeySequence(Qt::Key_Return),
                                            QKeySequence(Qt::Key_Enter)});
    ui->actionScala->setShortcut(QKeySequence(Qt::CTRL + Qt::Key_M));
    ui->actionInterpola->setShortcut(QKeySequence(Qt::CTRL + Qt::Key_I));
    ui->actionLeviga->setShortcut(QKeySequence(Qt::CTRL + Qt::Key_L));
    ui->actionConfronta->setShortcut(QKeySequence(Qt::CTRL + Qt::SHIFT + Qt::Key_O));
    ui->actionRipristina->setShortcut(QKeySequence(Qt::CTRL + Qt::SHIFT + Qt::Key_R));
    ui->actionRipristina->setEnabled(profileModel.hasReference());

    connect(&profileModel, &CProfileModel::valuesChanged, this, [this]() {
        drawProfile();
        showSelectionInfo();
    });
    connect(&profileModel, &CProfileModel::selectionChanged, this, [this]() {
        const bool wasRange = rangeCurve && rangeCurve->dataSize() > 0;
        drawSelection();
        if (wasRange || rangeCurve->dataSize() > 0)
            ui->qwtPlot->replot();
        showSelectionInfo();
    });
    connect(&profileModel, &CProfileModel::referenceChanged, this, [this]() {
        drawReference();
        ui->qwtPlot->replot();
        ui->actionRipristina->setEnabled(profileModel.hasReference());
        showSelectionInfo();
    });

    profileModel.setK(ui->spKIniezione->value());
    connect(ui->spKIniezione, qOverload<int>(&QSpinBox::valueChanged), &profileModel,
            &CProfileModel::setK);
    connect(&profileModel, &CProfileModel::modifiedChanged, this,
            &frmProgPannel::setWindowModified);

    connect(gestRT, &CGestRT::sgnRpm, this, &frmProgPannel::onLiveRpm);
    connect(gestRT, &CGestRT::sgnIdxCella, this, &frmProgPannel::onIdxCella);
    connect(gestRT, &CGestRT::sgnValCella, this, &frmProgPannel::onValCella);

    selectionLabel = new QLabel;
    statusBar()->addPermanentWidget(selectionLabel, 0);
    selectionLabel->hide();
}

// The selected point's engine speed and value, the difference to the
// reference, and the range when more than one point is selected.
void frmProgPannel::showSelectionInfo()
{
    if (!selectionLabel)
        return;
    const int i = profileModel.current();
    if (i < 0) {
        selectionLabel->clear();
        selectionLabel->hide();
        return;
    }
    const QVector<double> keys = profileKeys(maxRpm);
    const double value = profileModel.value(i);
    QString text = tr("%1 giri/min: valore %2").arg(keys[i]).arg(value);
    if (profileModel.hasReference()) {
        const double ref = profileModel.reference().at(i);
        const double diff = value - ref;
        text += QStringLiteral("; ")
                + tr("riferimento %1, differenza %2")
                      .arg(ref)
                      .arg((diff > 0 ? QStringLiteral("+") : QString()) + QString::number(diff));
    }
    if (profileModel.last() > profileModel.first()) {
        text += QStringLiteral("; ")
                + tr("selezione da %1 a %2 giri/min")
                      .arg(keys[profileModel.first()])
                      .arg(keys[profileModel.last()]);
    }
    selectionLabel->setText(text);
    selectionLabel->show();
}

// True when there is a selection to work on; otherwise says so.
bool frmProgPannel::editableSelection()
{
    if (profileModel.hasSelection())
        return true;
    statusBar()->showMessage(tr("Nessun punto selezionato"), 3000);
    return false;
}

void frmProgPannel::onEstendiSinistra()
{
    if (editableSelection())
        picker->stepSelection(false, true);
}

void frmProgPannel::onEstendiDestra()
{
    if (editableSelection())
        picker->stepSelection(true, true);
}

void frmProgPannel::onAumenta()
{
    if (editableSelection())
        profileModel.addToRange(1);
}

void frmProgPannel::onDiminuisci()
{
    if (editableSelection())
        profileModel.addToRange(-1);
}

void frmProgPannel::onImpostaValore()
{
    if (!editableSelection())
        return;
    const int low = static_cast<int>(valueMin);
    const int high = static_cast<int>(valueMax);
    const int current = static_cast<int>(profileModel.clampWhole(profileModel.value(profileModel.current())));
    bool ok = false;
    const int value = QInputDialog::getInt(this, tr("Imposta valore"),
                                           tr("Valore da %1 a %2:").arg(low).arg(high), current,
                                           low, high, 1, &ok);
    if (ok)
        profileModel.setRange(value);
}

void frmProgPannel::onScala()
{
    if (!editableSelection())
        return;
    bool ok = false;
    const int percent = QInputDialog::getInt(this, tr("Scala in percentuale"),
                                             tr("Variazione in percento (da -100 a 100):"), 0,
                                             -100, 100, 1, &ok);
    if (ok)
        profileModel.scaleRange(percent);
}

void frmProgPannel::onInterpola()
{
    if (editableSelection())
        profileModel.interpolateRange();
}

void frmProgPannel::onLeviga()
{
    if (editableSelection())
        profileModel.smoothRange();
}

// Loads a profile file as the reference; the profile itself, K and the
// profile label stay as they are. The dialog is modal and the event loop
// keeps serving the line meanwhile.
void frmProgPannel::onConfrontaConFile()
{
    if (lineBusy())
        return; // no file dialog while a transfer waits or runs
    const QString name = QFileDialog::getOpenFileName(this, ui->actionConfronta->text(),
                                                      QStringLiteral("./Profili"),
                                                      tr("Profili (*.prf)"));
    if (name.isEmpty())
        return;
    QFile file(name);
    if (!file.open(QIODevice::ReadOnly)) {
        QMessageBox::warning(this, ui->actionConfronta->text(),
                             tr("Impossibile aprire il file %1").arg(name));
        return;
    }
    QDataStream in(&file);
    profileModel.setReference(readProfile(in).values);
}

void frmProgPannel::onRipristinaRiferimento()
{
    if (editableSelection())
        profileModel.restoreRangeFromReference();
}

void frmProgPannel::onLiveRpm(int rpm)
{
    liveCell.setRpm(rpm);
}

// The cell index comes right before its value in every poll answer.
void frmProgPannel::onIdxCella(uchar index)
{
    liveCellIndex = index;
}

void frmProgPannel::onValCella(uchar value)
{
    liveCell.setCell(liveCellIndex, static_cast<qint8>(value));
}

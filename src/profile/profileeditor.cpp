#include "profile/profileeditor.h"

#include "profile/canvaspicker.h"
#include "profile/profiledocument.h"
#include "profile/profilefolder.h"
#include "profile/profileplot.h"
#include "profile/wholenumberdialog.h"

#include <QFileDialog>
#include <QMessageBox>

CProfileEditor::CProfileEditor(QWidget *dialogParent, CProfileDocument *document,
                               CProfilePlot *plot, QObject *parent)
    : QObject(parent)
    , m_dialogParent(dialogParent)
    , m_document(document)
    , m_plot(plot)
{
    const CProfileModel *model = document->model();
    connect(model, &CProfileModel::valuesChanged, this, &CProfileEditor::updateSelectionText);
    connect(model, &CProfileModel::selectionChanged, this, &CProfileEditor::updateSelectionText);
    connect(model, &CProfileModel::referenceChanged, this, &CProfileEditor::updateSelectionText);
    connect(plot, &CProfilePlot::editRequested, this, &CProfileEditor::onImpostaValore);
    // A result cut to the value range is said, not only drawn.
    connect(model, &CProfileModel::pointsLimited, this, [this](int count) {
        const CProfileModel *m = m_document->model();
        emit message(tr("Punti limitati all'intervallo da %1 a %2: %3")
                         .arg(m->valueMin())
                         .arg(m->valueMax())
                         .arg(count));
    });
    m_selectionText = buildSelectionText();
}

QString CProfileEditor::buildSelectionText() const
{
    const CProfileModel *model = m_document->model();
    const int i = model->current();
    if (i < 0)
        return QString();
    const QVector<double> keys = profileKeys(m_document->maxRpm());
    const double value = model->value(i);
    QString text = tr("%1 giri/min: valore %2").arg(keys[i]).arg(value);
    if (model->hasReference()) {
        const double ref = model->reference().at(i);
        const double diff = value - ref;
        text += QStringLiteral("; ")
                + tr("riferimento %1, differenza %2")
                      .arg(ref)
                      .arg((diff > 0 ? QStringLiteral("+") : QString()) + QString::number(diff));
    }
    if (model->last() > model->first()) {
        text += QStringLiteral("; ")
                + tr("selezione da %1 a %2 giri/min")
                      .arg(keys[model->first()])
                      .arg(keys[model->last()]);
    }
    return text;
}

void CProfileEditor::updateSelectionText()
{
    const QString text = buildSelectionText();
    if (text == m_selectionText)
        return;
    m_selectionText = text;
    emit selectionTextChanged(text);
}

// True when there is a selection to work on and the document takes changes;
// without a selection the status bar says so.
bool CProfileEditor::editableSelection()
{
    if (m_document->isLocked())
        return false;
    if (m_document->model()->hasSelection())
        return true;
    emit message(tr("Nessun punto selezionato"));
    return false;
}

void CProfileEditor::onEstendiSinistra()
{
    if (editableSelection() && m_plot->picker())
        m_plot->picker()->stepSelection(false, true);
}

void CProfileEditor::onEstendiDestra()
{
    if (editableSelection() && m_plot->picker())
        m_plot->picker()->stepSelection(true, true);
}

void CProfileEditor::onAumenta()
{
    if (editableSelection())
        m_document->model()->addToRange(1);
}

void CProfileEditor::onDiminuisci()
{
    if (editableSelection())
        m_document->model()->addToRange(-1);
}

// The dialogs are modal and the event loop runs meanwhile: a read may start
// and lock the document before the answer comes; the model then refuses it.
void CProfileEditor::onImpostaValore()
{
    if (!editableSelection())
        return;
    CProfileModel *model = m_document->model();
    const int low = static_cast<int>(model->valueMin());
    const int high = static_cast<int>(model->valueMax());
    const int current = static_cast<int>(model->clampWhole(model->value(model->current())));
    bool ok = false;
    const int value = CWholeNumberDialog::getInt(m_dialogParent, tr("Imposta valore"),
                                                 tr("Valore da %1 a %2:").arg(low).arg(high),
                                                 current, low, high, &ok);
    if (ok)
        model->setRange(value);
}

void CProfileEditor::onScala()
{
    if (!editableSelection())
        return;
    bool ok = false;
    const int low = CProfileModel::ScaleMinPercent;
    const int high = CProfileModel::ScaleMaxPercent;
    const int percent = CWholeNumberDialog::getInt(
        m_dialogParent, tr("Scala in percentuale"),
        tr("Variazione in percento (da %1 a +%2):").arg(low).arg(high), 0, low, high, &ok);
    if (ok)
        m_document->model()->scaleRange(percent);
}

void CProfileEditor::onInterpola()
{
    if (editableSelection())
        m_document->model()->interpolateRange();
}

void CProfileEditor::onLeviga()
{
    if (editableSelection())
        m_document->model()->smoothRange();
}

// A profile file as the reference; the profile itself, K and the file shown
// stay as they are. The dialog opens where the load and save dialogs do.
void CProfileEditor::onConfrontaConFile()
{
    if (m_document->isLocked())
        return;
    const QString title = tr("Confronta con file");
    const QString name = QFileDialog::getOpenFileName(m_dialogParent, title, profileFolder(),
                                                      tr("Profili (*.prf)"));
    if (name.isEmpty())
        return;
    QString error;
    if (!m_document->setReferenceFromFile(name, &error))
        QMessageBox::warning(m_dialogParent, title, error);
}

void CProfileEditor::onRipristinaRiferimento()
{
    if (editableSelection())
        m_document->model()->restoreRangeFromReference();
}

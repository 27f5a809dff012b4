#pragma once

#include <QObject>
#include <QPointer>
#include <QString>

class CProfileDocument;
class CProfilePlot;
class QWidget;

// The commands of the "Modifica" menu on the selected range of the profile,
// and the status-bar text about the selection. Its input and file dialogs
// open over the given parent. While the document is locked every command is
// refused.
class CProfileEditor : public QObject
{
    Q_OBJECT
public:
    CProfileEditor(QWidget *dialogParent, CProfileDocument *document, CProfilePlot *plot,
                   QObject *parent = nullptr);

    // The selected point's engine speed and value, the difference to the
    // reference, and the range when more than one point is selected; empty
    // with nothing selected.
    QString selectionText() const { return m_selectionText; }

public slots:
    void onEstendiSinistra();
    void onEstendiDestra();
    void onAumenta();
    void onDiminuisci();
    void onImpostaValore();
    void onScala();
    void onInterpola();
    void onLeviga();
    void onConfrontaConFile();
    void onRipristinaRiferimento();
    // Builds the selection text again (also after a language switch).
    void updateSelectionText();

signals:
    void selectionTextChanged(const QString &text);
    // A short note for the status bar.
    void message(const QString &text);

private:
    bool editableSelection();
    QString buildSelectionText() const;

    QPointer<QWidget> m_dialogParent;
    CProfileDocument *m_document;
    CProfilePlot *m_plot;
    QString m_selectionText;
};

#pragma once

#include <QDialog>

class QLabel;
class QLineEdit;

// Asks for one whole number within min..max. The text is read as typed: OK
// on a text that is not a whole number, or one outside the range, leaves the
// dialog open with the text as it is and says under it what is wrong; no
// digit is dropped and no number is brought into the range without a word.
class CWholeNumberDialog : public QDialog
{
    Q_OBJECT
public:
    CWholeNumberDialog(QWidget *parent, const QString &title, const QString &label, int value,
                       int min, int max);

    // The number taken; the initial value until the dialog is accepted.
    int value() const { return m_value; }
    QLineEdit *lineEdit() const { return m_edit; }
    // What the dialog says is wrong with the text; empty while nothing is.
    QString problemText() const;

    // As QInputDialog::getInt: the number typed, or value with *ok false when
    // the dialog is cancelled.
    static int getInt(QWidget *parent, const QString &title, const QString &label, int value,
                      int min, int max, bool *ok = nullptr);

public slots:
    // Closes the dialog with a whole number within the range; otherwise
    // tells why and stays open.
    void accept() override;

private:
    QLineEdit *m_edit;
    QLabel *m_problem;
    int m_min;
    int m_max;
    int m_value;
};

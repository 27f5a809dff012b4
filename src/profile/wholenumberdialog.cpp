#include "profile/wholenumberdialog.h"

#include "profile/profiletable.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QVBoxLayout>

CWholeNumberDialog::CWholeNumberDialog(QWidget *parent, const QString &title,
                                       const QString &label, int value, int min, int max)
    : QDialog(parent)
    , m_edit(new QLineEdit(QString::number(value), this))
    , m_problem(new QLabel(this))
    , m_min(min)
    , m_max(max)
    , m_value(value)
{
    setWindowTitle(title);
    auto *prompt = new QLabel(label, this);
    prompt->setBuddy(m_edit);
    m_edit->selectAll(); // typing replaces the proposed value
    m_problem->setWordWrap(true);
    m_problem->setStyleSheet(QStringLiteral("color: #b00000;"));
    m_problem->hide();
    // The message stays until the text changes.
    connect(m_edit, &QLineEdit::textEdited, m_problem, [this] {
        m_problem->clear();
        m_problem->hide();
    });
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &CWholeNumberDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CWholeNumberDialog::reject);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(prompt);
    layout->addWidget(m_edit);
    layout->addWidget(m_problem);
    layout->addWidget(buttons);
}

QString CWholeNumberDialog::problemText() const
{
    return m_problem->text();
}

void CWholeNumberDialog::accept()
{
    QString problem;
    double v = 0.0;
    // The table's reading of a typed cell, so both take the same texts.
    if (m_edit->text().trimmed().isEmpty())
        problem = tr("Scrivere un numero intero da %1 a %2").arg(m_min).arg(m_max);
    else
        problem = wholeNumberProblem(m_edit->text(), m_min, m_max, &v);
    if (!problem.isEmpty()) {
        m_problem->setText(problem);
        m_problem->show();
        m_edit->setFocus();
        return;
    }
    m_value = static_cast<int>(v);
    QDialog::accept();
}

int CWholeNumberDialog::getInt(QWidget *parent, const QString &title, const QString &label,
                               int value, int min, int max, bool *ok)
{
    // The parent may go while the dialog is open: the pointer tells.
    QPointer<CWholeNumberDialog> dialog =
        new CWholeNumberDialog(parent, title, label, value, min, max);
    const bool accepted = dialog->exec() == QDialog::Accepted;
    if (ok)
        *ok = dialog && accepted;
    const int result = dialog && accepted ? dialog->value() : value;
    delete dialog;
    return result;
}

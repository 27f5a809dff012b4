#include "profile/pastedvalues.h"

#include <QCoreApplication>
#include <QRegularExpression>
#include <QStringList>

namespace {

const char *const Context = "CProfileTableModel";

// A number the spreadsheet shows with or without decimals, as long as they
// are zeros: "12", "-3", "+4", "12,0", "12.00".
const QRegularExpression WholeNumber(QStringLiteral("^([+-]?[0-9]+)(?:[.,]0+)?$"));

QString cellError(int row, int column, const QString &problem)
{
    return QCoreApplication::translate(Context, "riga %1, colonna %2: %3")
        .arg(QString::number(row), QString::number(column), problem);
}

PasteResult refused(int row, int column, const QString &problem)
{
    PasteResult r;
    r.row = row;
    r.column = column;
    r.error = cellError(row, column, problem);
    return r;
}

} // namespace

QString wholeNumberProblem(const QString &cell, double min, double max, double *value)
{
    const QString text = cell.trimmed();
    if (text.isEmpty())
        return QCoreApplication::translate(Context, "cella vuota");
    const QRegularExpressionMatch m = WholeNumber.match(text);
    if (!m.hasMatch())
        return QCoreApplication::translate(Context, "\"%1\" non è un numero intero").arg(text);
    bool fits = false;
    const qlonglong v = m.captured(1).toLongLong(&fits); // false past 64 bits
    if (!fits || v < min || v > max)
        return QCoreApplication::translate(Context, "%1 è fuori dall'intervallo da %2 a %3")
            .arg(text, QString::number(min), QString::number(max));
    *value = static_cast<double>(v);
    return QString();
}

PasteResult parsePastedValues(const QString &text, double min, double max, int pointsLeft)
{
    QString all = text;
    all.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    all.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    if (all.endsWith(QLatin1Char('\n')))
        all.chop(1);
    if (all.trimmed().isEmpty()) {
        PasteResult r;
        r.error = QCoreApplication::translate(Context, "Niente da incollare");
        return r;
    }

    // Cells in reading order; the first that is wrong is named.
    PasteResult result;
    const QStringList lines = all.split(QLatin1Char('\n'));
    int widest = 0;
    for (int r = 0; r < lines.size(); ++r) {
        const QStringList cells = lines[r].split(QLatin1Char('\t'));
        for (int c = 0; c < cells.size(); ++c) {
            widest = qMax(widest, c + 1);
            if (r > 0 && widest > 1)
                return refused(r + 1, c + 1,
                               QCoreApplication::translate(
                                   Context, "incollare una sola colonna o una sola riga"));
            double v = 0.0;
            const QString problem = wholeNumberProblem(cells[c], min, max, &v);
            if (!problem.isEmpty())
                return refused(r + 1, c + 1, problem);
            if (result.values.size() == pointsLeft)
                return refused(r + 1, c + 1,
                               QCoreApplication::translate(
                                   Context, "oltre l'ultimo punto: si possono incollare al "
                                            "massimo %1 valori")
                                   .arg(pointsLeft));
            result.values.append(v);
        }
    }
    result.ok = true;
    return result;
}


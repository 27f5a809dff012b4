#include "app/helptext.h"

#include <QStringList>

// Rows of a help text: the term, and its description wrapped at word
// boundaries to fit 79 columns.
QString helpRows(const QVector<QPair<QString, QString>> &rows)
{
    int width = 0;
    for (const auto &row : rows)
        width = qMax(width, row.first.size());
    width = qMin(width, 28);
    const int indent = 2 + width + 2;
    QString text;
    for (const auto &row : rows) {
        QString line = QStringLiteral("  ") + row.first;
        int used = line.size();
        if (row.first.size() > width) { // a long term gets a line of its own
            text += line + QLatin1Char('\n');
            line = QString(indent, QLatin1Char(' '));
            used = indent;
        } else {
            line += QString(indent - used, QLatin1Char(' '));
            used = indent;
        }
        const QStringList words = row.second.split(QLatin1Char(' '), Qt::SkipEmptyParts);
        for (const QString &word : words) {
            if (used > indent && used + 1 + word.size() > 79) {
                text += line + QLatin1Char('\n');
                line = QString(indent, QLatin1Char(' '));
                used = indent;
            }
            if (used > indent) {
                line += QLatin1Char(' ');
                ++used;
            }
            line += word;
            used += word.size();
        }
        text += line + QLatin1Char('\n');
    }
    return text;
}

// A paragraph wrapped at 79 columns.
QString helpParagraph(const QString &paragraph)
{
    QString text;
    QString line;
    const QStringList words = paragraph.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    for (const QString &word : words) {
        if (!line.isEmpty() && line.size() + 1 + word.size() > 79) {
            text += line + QLatin1Char('\n');
            line.clear();
        }
        if (!line.isEmpty())
            line += QLatin1Char(' ');
        line += word;
    }
    return text + line + QLatin1Char('\n');
}

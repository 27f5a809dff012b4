#pragma once

#include <QPair>
#include <QString>
#include <QVector>

// Help texts for a terminal, 79 columns wide.

// Rows of terms and their descriptions: the descriptions line up after the
// longest term (at most 28 columns; a longer term has a line of its own)
// and wrap at word boundaries.
QString helpRows(const QVector<QPair<QString, QString>> &rows);

// A paragraph wrapped at word boundaries, ending with a new line.
QString helpParagraph(const QString &paragraph);

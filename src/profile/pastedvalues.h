#pragma once

#include <QString>
#include <QVector>

// Text pasted from a spreadsheet, read as profile values: the values in
// order, or the first bad cell (row and column 1-based, as the spreadsheet
// numbers them; 0 when no cell is to blame) and why.
struct PasteResult
{
    bool ok = false;
    QVector<double> values;
    int row = 0;
    int column = 0;
    QString error;
};

// One column or one row of whole numbers within min..max, at most pointsLeft
// of them. Cells are separated by tabs, rows by newlines; blanks around a
// value and one final newline are allowed, and a value may carry "," or "."
// with zeros after it ("12,0"). Anything else is refused: a fraction, text,
// an empty cell, a block of several rows and several columns, a value out of
// range, a value past the last point.
PasteResult parsePastedValues(const QString &text, double min, double max, int pointsLeft);

// What is wrong with one cell typed or pasted as a value within min..max;
// empty when it is a whole number in range, which then goes to *value.
QString wholeNumberProblem(const QString &cell, double min, double max, double *value);

#pragma once

#include <QAbstractTableModel>
#include <QString>
#include <QVector>

class CProfileDocument;

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

// The profile as a table, one row per point: engine speed, value, reference
// and difference to the reference (empty without a reference), and the share
// of the engine's time spent in the point's cell, in % with one decimal
// (empty while no time has been counted). The headers are short, for a
// narrow dock; their tool tips name the columns in full. Only the
// values are editable; a typed value is one undo step. Whatever the table
// refuses (a value that is not a whole number in range, any change while the
// document is locked) changes nothing and is told through message().
class CProfileTableModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    enum Column {
        RpmColumn,
        ValueColumn,
        ReferenceColumn,
        DifferenceColumn,
        TimeColumn,
        ColumnCount
    };

    explicit CProfileTableModel(CProfileDocument *document, QObject *parent = nullptr);

    CProfileDocument *document() const { return m_document; }
    // The engine speed of the last point: the variant's scale.
    void setMaxRpm(double maxRpm);
    double maxRpm() const { return m_maxRpm; }
    // The share of the time in each cell (fractions, as the time-in-cell
    // histogram gives them).
    void setTimeShares(const QVector<double> &shares);

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role = Qt::EditRole) override;

    // The cells as a spreadsheet takes them: one line per row, each ended by
    // a newline, the columns of the cells given separated by tabs.
    QString copyText(const QModelIndexList &cells) const;
    // Pasted text into the points from firstPoint on, as one undo step,
    // telling through message() how many values it changed. False, with a
    // message, when refused; nothing changes then.
    bool paste(const QString &text, int firstPoint);

    // The header texts in the language in use.
    void retranslate();

signals:
    void message(const QString &text);

private:
    bool refusedWhileLocked();
    void valuesChanged(int firstColumn);

    CProfileDocument *m_document;
    double m_maxRpm = 12000.0;
    QVector<double> m_timeShares; // empty: no time counted
};

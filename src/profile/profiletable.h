#pragma once

#include "profile/pastedvalues.h"

#include <QAbstractTableModel>
#include <QString>
#include <QVector>

class CProfileDocument;

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

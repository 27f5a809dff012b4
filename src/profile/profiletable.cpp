#include "profile/profiletable.h"

#include "profile/profiledocument.h"

#include <QCoreApplication>
#include <QMap>
#include <QSet>
#include <algorithm>

namespace {

QString signedNumber(double v)
{
    return (v > 0 ? QStringLiteral("+") : QString()) + QString::number(v);
}

} // namespace

CProfileTableModel::CProfileTableModel(CProfileDocument *document, QObject *parent)
    : QAbstractTableModel(parent)
    , m_document(document)
{
    const CProfileModel *model = document->model();
    connect(model, &CProfileModel::valuesChanged, this, [this] { valuesChanged(ValueColumn); });
    connect(model, &CProfileModel::referenceChanged, this,
            [this] { valuesChanged(ReferenceColumn); });
}

void CProfileTableModel::valuesChanged(int firstColumn)
{
    emit dataChanged(index(0, firstColumn), index(ProfilePoints - 1, ColumnCount - 1),
                     {Qt::DisplayRole, Qt::EditRole});
}

void CProfileTableModel::setMaxRpm(double maxRpm)
{
    if (maxRpm == m_maxRpm)
        return;
    m_maxRpm = maxRpm;
    emit dataChanged(index(0, RpmColumn), index(ProfilePoints - 1, RpmColumn),
                     {Qt::DisplayRole});
}

void CProfileTableModel::setTimeShares(const QVector<double> &shares)
{
    const bool any = std::any_of(shares.cbegin(), shares.cend(), [](double v) { return v > 0; });
    m_timeShares = any ? shares : QVector<double>();
    emit dataChanged(index(0, TimeColumn), index(ProfilePoints - 1, TimeColumn),
                     {Qt::DisplayRole});
}

int CProfileTableModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : ProfilePoints;
}

int CProfileTableModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant CProfileTableModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= ProfilePoints)
        return QVariant();
    if (role == Qt::TextAlignmentRole)
        return int(Qt::AlignRight | Qt::AlignVCenter);
    if (role != Qt::DisplayRole && role != Qt::EditRole)
        return QVariant();

    const CProfileModel *model = m_document->model();
    const int i = index.row();
    switch (index.column()) {
    case RpmColumn:
        return QString::number(i * m_maxRpm / (ProfilePoints - 1));
    case ValueColumn:
        // Text for the editor too: the table reads what is typed itself.
        return QString::number(model->value(i));
    case ReferenceColumn:
        return model->hasReference() ? QString::number(model->reference().at(i)) : QString();
    case DifferenceColumn:
        return model->hasReference() ? signedNumber(model->value(i) - model->reference().at(i))
                                     : QString();
    case TimeColumn:
        return i < m_timeShares.size() ? QString::number(m_timeShares.at(i) * 100.0, 'f', 1)
                                       : QString();
    default:
        return QVariant();
    }
}

QVariant CProfileTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || (role != Qt::DisplayRole && role != Qt::ToolTipRole))
        return QAbstractTableModel::headerData(section, orientation, role);
    const bool tip = role == Qt::ToolTipRole;
    switch (section) {
    case RpmColumn:
        return tr("Giri/min");
    case ValueColumn:
        return tr("Valore");
    case ReferenceColumn:
        return tip ? tr("Riferimento") : tr("Rif.");
    case DifferenceColumn:
        return tip ? tr("Differenza") : tr("Diff.");
    case TimeColumn:
        return tip ? tr("Quota del tempo passato nella cella (registrazione o collegamento)")
                   : tr("Tempo %");
    default:
        return QVariant();
    }
}

void CProfileTableModel::retranslate()
{
    emit headerDataChanged(Qt::Horizontal, 0, ColumnCount - 1);
}

// The values stay editable while locked: an attempt is refused with the
// reason rather than ignored without a word.
Qt::ItemFlags CProfileTableModel::flags(const QModelIndex &index) const
{
    Qt::ItemFlags f = QAbstractTableModel::flags(index);
    if (index.isValid() && index.column() == ValueColumn)
        f |= Qt::ItemIsEditable;
    return f;
}

bool CProfileTableModel::refusedWhileLocked()
{
    if (!m_document->isLocked())
        return false;
    emit message(CProfileDocument::lockedMessage());
    return true;
}

bool CProfileTableModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (!index.isValid() || index.column() != ValueColumn || role != Qt::EditRole
        || refusedWhileLocked())
        return false;
    CProfileModel *model = m_document->model();
    double v = 0.0;
    const QString problem =
        wholeNumberProblem(value.toString(), model->valueMin(), model->valueMax(), &v);
    if (!problem.isEmpty()) {
        emit message(tr("Valore rifiutato: %1").arg(problem));
        return false;
    }
    QVector<double> after = model->values();
    after[index.row()] = v;
    return model->replaceValues(after);
}

QString CProfileTableModel::copyText(const QModelIndexList &cells) const
{
    QMap<int, QMap<int, QString>> rows;
    QSet<int> columnSet;
    for (const QModelIndex &cell : cells) {
        rows[cell.row()][cell.column()] = data(cell).toString();
        columnSet.insert(cell.column());
    }
    QList<int> columns = columnSet.values();
    std::sort(columns.begin(), columns.end());

    QString text;
    for (const QMap<int, QString> &row : qAsConst(rows)) {
        QStringList line;
        for (int c : qAsConst(columns))
            line << row.value(c);
        text += line.join(QLatin1Char('\t')) + QLatin1Char('\n');
    }
    return text;
}

bool CProfileTableModel::paste(const QString &text, int firstPoint)
{
    if (refusedWhileLocked())
        return false;
    if (firstPoint < 0 || firstPoint >= ProfilePoints) {
        emit message(tr("Selezionare il punto da cui incollare"));
        return false;
    }
    CProfileModel *model = m_document->model();
    const PasteResult pasted = parsePastedValues(text, model->valueMin(), model->valueMax(),
                                                 ProfilePoints - firstPoint);
    if (!pasted.ok) {
        emit message(pasted.error);
        return false;
    }
    QVector<double> after = model->values();
    int changed = 0;
    for (int i = 0; i < pasted.values.size(); ++i) {
        changed += after[firstPoint + i] != pasted.values[i];
        after[firstPoint + i] = pasted.values[i];
    }
    if (!model->replaceValues(after))
        return false;
    emit message(tr("Incollato. Valori cambiati: %1 di %2.")
                     .arg(changed)
                     .arg(pasted.values.size()));
    return true;
}

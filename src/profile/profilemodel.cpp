#include "profile/profilemodel.h"

#include <QUndoCommand>
#include <cmath>

namespace {

// Every step keeps the whole profile before and after it: 41 doubles twice
// is cheap, and undo then restores exactly what was there, whatever
// replaced the values outside the history.
class CValuesCommand : public QUndoCommand
{
public:
    CValuesCommand(CProfileModel *model, QVector<double> before, QVector<double> after,
                   CProfileModel::Step step)
        : m_model(model)
        , m_before(std::move(before))
        , m_after(std::move(after))
        , m_step(step)
        , m_dragSerial(model->dragSerial())
    {
    }

    void undo() override { m_model->applyValues(m_before); }
    void redo() override { m_model->applyValues(m_after); }

    int id() const override
    {
        switch (m_step) {
        case CProfileModel::Step::Drag:
            return 1;
        case CProfileModel::Step::ReadStart:
        case CProfileModel::Step::ReadEnd:
            return 2;
        default:
            return -1;
        }
    }

    bool mergeWith(const QUndoCommand *other) override
    {
        const auto *o = static_cast<const CValuesCommand *>(other);
        const bool sameDrag = m_step == CProfileModel::Step::Drag
                              && o->m_step == CProfileModel::Step::Drag
                              && o->m_dragSerial == m_dragSerial;
        const bool readDone = m_step == CProfileModel::Step::ReadStart
                              && o->m_step == CProfileModel::Step::ReadEnd;
        if (!sameDrag && !readDone)
            return false;
        m_after = o->m_after;
        if (readDone)
            m_step = CProfileModel::Step::Edit; // a finished read takes no more
        setObsolete(m_after == m_before);
        return true;
    }

private:
    CProfileModel *m_model;
    QVector<double> m_before;
    QVector<double> m_after;
    CProfileModel::Step m_step;
    int m_dragSerial;
};

QVector<double> padded(const QVector<double> &values)
{
    QVector<double> out = values.mid(0, ProfilePoints);
    out.resize(ProfilePoints); // missing values read 0
    return out;
}

} // namespace

CProfileModel::CProfileModel(QObject *parent)
    : QObject(parent)
    , m_values(ProfilePoints, 0.0)
    , m_savedValues(ProfilePoints, 0.0)
{
}

void CProfileModel::setLimits(double valueMin, double valueMax)
{
    m_min = valueMin;
    m_max = valueMax;
}

double CProfileModel::clampWhole(double v) const
{
    if (std::isnan(v))
        v = 0.0;
    v = std::floor(v + 0.5);
    return std::max(std::min(v, m_max), m_min);
}

void CProfileModel::applyValues(const QVector<double> &values)
{
    m_values = values;
    emit valuesChanged();
    noteModified();
}

void CProfileModel::setK(int k)
{
    m_k = k;
    noteModified();
}

void CProfileModel::noteModified()
{
    if (isModified() == m_wasModified)
        return;
    m_wasModified = !m_wasModified;
    emit modifiedChanged(m_wasModified);
}

void CProfileModel::pushValues(const QVector<double> &after, Step step)
{
    if (after == m_values)
        return;
    m_undo.push(new CValuesCommand(this, m_values, after, step));
}

bool CProfileModel::replaceValues(const QVector<double> &values, Step step)
{
    const bool readStep = step == Step::ReadStart || step == Step::ReadEnd;
    if (m_locked && !readStep)
        return false;
    pushValues(padded(values), step);
    return true;
}

void CProfileModel::dragValue(int index, double value)
{
    if (m_locked || index < 0 || index >= ProfilePoints)
        return;
    QVector<double> after = m_values;
    after[index] = clampWhole(value);
    pushValues(after, Step::Drag);
}

void CProfileModel::select(int index)
{
    if (index < -1 || index >= ProfilePoints)
        index = -1;
    if (index == m_current && index == m_anchor)
        return;
    m_current = m_anchor = index;
    emit selectionChanged();
}

void CProfileModel::extendSelection(int index)
{
    if (index < 0 || index >= ProfilePoints)
        return;
    if (m_anchor < 0)
        m_anchor = index;
    m_current = index;
    emit selectionChanged();
}

template <typename F> void CProfileModel::changeRange(F f)
{
    if (m_locked || !hasSelection())
        return;
    QVector<double> after = m_values;
    const int a = first();
    const int b = last();
    for (int i = a; i <= b; ++i)
        after[i] = f(i, a, b);
    pushValues(after, Step::Edit);
}

void CProfileModel::setRange(double value)
{
    const double v = clampWhole(value);
    changeRange([v](int, int, int) { return v; });
}

void CProfileModel::addToRange(int delta)
{
    changeRange([this, delta](int i, int, int) { return clampWhole(m_values[i] + delta); });
}

void CProfileModel::scaleRange(double percent)
{
    const double factor = 1.0 + percent / 100.0;
    changeRange([this, factor](int i, int, int) { return clampWhole(m_values[i] * factor); });
}

void CProfileModel::interpolateRange()
{
    changeRange([this](int i, int a, int b) {
        if (i == a || i == b)
            return m_values[i];
        const double t = double(i - a) / double(b - a);
        return clampWhole(m_values[a] + (m_values[b] - m_values[a]) * t);
    });
}

void CProfileModel::smoothRange()
{
    changeRange([this](int i, int a, int b) {
        if (i == a || i == b)
            return m_values[i];
        return clampWhole((m_values[i - 1] + 2.0 * m_values[i] + m_values[i + 1]) / 4.0);
    });
}

void CProfileModel::restoreRangeFromReference()
{
    if (!hasReference())
        return;
    // The reference holds values as read or loaded: they are copied exactly.
    changeRange([this](int i, int, int) { return m_reference[i]; });
}

void CProfileModel::setReference(const QVector<double> &values)
{
    m_reference = padded(values);
    emit referenceChanged();
}

void CProfileModel::markSaved()
{
    markSaved(m_values, m_k);
}

void CProfileModel::markSaved(const QVector<double> &values, int k)
{
    m_savedValues = padded(values);
    m_savedK = k;
    m_unsaved = false;
    noteModified();
}

void CProfileModel::markUnsaved()
{
    m_unsaved = true;
    noteModified();
}

void CProfileModel::setLocked(bool locked)
{
    if (locked == m_locked)
        return;
    m_locked = locked;
    emit lockedChanged(locked);
}

bool CProfileModel::undo()
{
    if (m_locked || !m_undo.canUndo())
        return false;
    m_undo.undo();
    return true;
}

bool CProfileModel::redo()
{
    if (m_locked || !m_undo.canRedo())
        return false;
    m_undo.redo();
    return true;
}

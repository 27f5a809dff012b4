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

// Nearest whole number, exact halves up; not a number reads 0.
double roundHalfUp(double v)
{
    return std::isnan(v) ? 0.0 : std::floor(v + 0.5);
}

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
    return std::max(std::min(roundHalfUp(v), m_max), m_min);
}

// As clampWhole, counting in limited a value the range had to cut.
double CProfileModel::limitWhole(double v, int &limited) const
{
    const double whole = clampWhole(v);
    if (whole != roundHalfUp(v))
        ++limited;
    return whole;
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

// Each point of the range from f(i, first, last, limited); f counts in
// limited the points it had to bring into the range.
template <typename F> void CProfileModel::changeRange(F f)
{
    if (m_locked || !hasSelection())
        return;
    QVector<double> after = m_values;
    const int a = first();
    const int b = last();
    int limited = 0;
    for (int i = a; i <= b; ++i)
        after[i] = f(i, a, b, limited);
    pushValues(after, Step::Edit);
    if (limited > 0)
        emit pointsLimited(limited);
}

void CProfileModel::setRange(double value)
{
    changeRange([this, value](int, int, int, int &limited) { return limitWhole(value, limited); });
}

void CProfileModel::addToRange(int delta)
{
    changeRange([this, delta](int i, int, int, int &limited) {
        return limitWhole(m_values[i] + delta, limited);
    });
}

bool CProfileModel::scaleRange(double percent)
{
    if (!(percent >= ScaleMinPercent && percent <= ScaleMaxPercent))
        return false;
    // Multiplied first and divided last: for whole values and percents the
    // product is exact, so a result of exactly one half stays a half and
    // goes up (5 at -90 % is 0.5, not 0.4999... from a factor of 0.1).
    changeRange([this, percent](int i, int, int, int &limited) {
        return limitWhole(m_values[i] * (100.0 + percent) / 100.0, limited);
    });
    return true;
}

// The ends are kept exactly; the points between them are brought into the
// range (they can lie beyond it only when an end does, as a profile loaded
// from a file may).
void CProfileModel::interpolateRange()
{
    changeRange([this](int i, int a, int b, int &limited) {
        if (i == a || i == b)
            return m_values[i];
        const double t = double(i - a) / double(b - a);
        return limitWhole(m_values[a] + (m_values[b] - m_values[a]) * t, limited);
    });
}

void CProfileModel::smoothRange()
{
    changeRange([this](int i, int a, int b, int &limited) {
        if (i == a || i == b)
            return m_values[i];
        return limitWhole((m_values[i - 1] + 2.0 * m_values[i] + m_values[i + 1]) / 4.0,
                          limited);
    });
}

void CProfileModel::restoreRangeFromReference()
{
    if (!hasReference())
        return;
    // The reference holds values as read or loaded: they are copied exactly.
    changeRange([this](int i, int, int, int &) { return m_reference[i]; });
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

#pragma once

#include "profile/profilecodec.h"

#include <QObject>
#include <QUndoStack>
#include <QVector>

// The injection profile being edited: the 41 values and K, the selected
// range of points, the undo history and the reference curve. The plot draws
// it; files, transfers, the flat map and the editing commands change it.
//
// Every change of values is one undo step. Editing operations give whole
// numbers limited to valueMin..valueMax; whole profiles from a file or the
// ECU are taken as they are.
//
// While the ECU is read, written or checked the model is locked: it refuses
// every change the user makes (drags, range operations, undo and redo,
// replacements as Step::Edit or Step::Drag) and takes only the read's own
// steps (Step::ReadStart, Step::ReadEnd). The undo history is reached for
// reading only, so nothing gets round the lock through it.
class CProfileModel : public QObject
{
    Q_OBJECT
public:
    // How a replacement of the values joins the undo history.
    enum class Step {
        Edit,      // a step of its own
        Drag,      // merged with the previous change of the same drag
        ReadStart, // the profile cleared when a read starts...
        ReadEnd    // ...and the values read: together one step
    };

    explicit CProfileModel(QObject *parent = nullptr);

    const QVector<double> &values() const { return m_values; }
    double value(int i) const { return m_values.value(i); }
    int k() const { return m_k; }
    void setK(int k);

    void setLimits(double valueMin, double valueMax);
    double valueMin() const { return m_min; }
    double valueMax() const { return m_max; }
    // Nearest whole number (exact halves up), limited to valueMin..valueMax.
    double clampWhole(double v) const;

    // The whole percentages scaleRange takes.
    static constexpr int ScaleMinPercent = -100;
    static constexpr int ScaleMaxPercent = 500;

    // Replaces every value (missing ones read 0); no step when nothing
    // changes. False when the lock refuses it.
    bool replaceValues(const QVector<double> &values, Step step = Step::Edit);
    // One point during a drag; a new drag begins with beginDrag.
    void dragValue(int index, double value);
    void beginDrag() { ++m_dragSerial; }

    // Selection: the point last picked (current) and the point the range was
    // extended from (anchor). Nothing selected: both -1.
    void select(int index);
    void extendSelection(int index);
    void clearSelection() { select(-1); }
    int current() const { return m_current; }
    int first() const { return qMin(m_anchor, m_current); }
    int last() const { return qMax(m_anchor, m_current); }
    bool hasSelection() const { return m_current >= 0; }

    // Operations on the selected range; each is one undo step and does
    // nothing without a selection. The points whose result had to be
    // brought into valueMin..valueMax are told by one pointsLimited.
    void setRange(double value);
    void addToRange(int delta);
    // +10 gives 110 % of each value; false, changing nothing, for a percent
    // outside ScaleMinPercent..ScaleMaxPercent.
    bool scaleRange(double percent);
    void interpolateRange();         // straight line between the two ends
    void smoothRange();              // 1-2-1 average inside, ends kept
    void restoreRangeFromReference();

    void setReference(const QVector<double> &values);
    bool hasReference() const { return !m_reference.isEmpty(); }
    const QVector<double> &reference() const { return m_reference; }

    // The values and K last read, loaded, saved or written, and whether the
    // profile differs from them (modifiedChanged tells when that changes).
    void markSaved();
    void markSaved(const QVector<double> &values, int k);
    // What the ECU holds is no longer known (a write whose check failed): the
    // profile counts as modified until the next markSaved.
    void markUnsaved();
    bool isModified() const
    {
        return m_unsaved || m_values != m_savedValues || m_k != m_savedK;
    }

    void setLocked(bool locked);
    bool isLocked() const { return m_locked; }

    // The history, to show and follow; undo() and redo() change it.
    const QUndoStack *undoStack() const { return &m_undo; }

    // Used by the undo commands.
    void applyValues(const QVector<double> &values);
    int dragSerial() const { return m_dragSerial; }

public slots:
    // One step back or forward; false when locked or when there is none.
    bool undo();
    bool redo();

signals:
    void valuesChanged();
    void selectionChanged();
    void referenceChanged();
    void modifiedChanged(bool modified);
    void lockedChanged(bool locked);
    // A range operation gave count points a result beyond valueMin..valueMax
    // and they were set to the nearer limit (whether or not that changed
    // them); once per operation, never with 0.
    void pointsLimited(int count);

private:
    void pushValues(const QVector<double> &after, Step step);
    template <typename F> void changeRange(F f);
    double limitWhole(double v, int &limited) const;
    void noteModified();

    QVector<double> m_values;
    QVector<double> m_reference;
    QVector<double> m_savedValues;
    int m_k = 1;
    int m_savedK = 1;
    bool m_wasModified = false;
    bool m_unsaved = false;
    bool m_locked = false;
    double m_min = -10.0;
    double m_max = 25.0;
    int m_current = -1;
    int m_anchor = -1;
    int m_dragSerial = 0;
    QUndoStack m_undo;
};

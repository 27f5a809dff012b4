// Under ThreadSanitizer: makes the hand-over of a queued signal visible.
// Qt is not built with ThreadSanitizer, so it cannot see that posting a
// queued call and delivering it go through the receiving thread's event
// queue, which is guarded by a mutex; every frame a worker hands to the GUI
// thread would be reported as a race. Each emission releases (before and
// after the call is posted), and each delivery of a queued call acquires,
// one synchronisation object, as that mutex does. This is coarser than the
// mutex: any emission counts, not only one that posts a call. Races on
// project state outside the hand-over stay visible (tests/sanitizers proves
// it). In other builds this file is empty.
#include "comm/workerlock.h" // VANTOR_TSAN_ANNOTATE

#ifdef VANTOR_TSAN_ANNOTATE

#include <QEvent>
#include <QObject>

// Qt's hooks for signal spies (QTest's -vs uses them); declared in a private
// Qt header, exported by QtCore.
struct QSignalSpyCallbackSet
{
    using BeginCallback = void (*)(QObject *caller, int index, void **argv);
    using EndCallback = void (*)(QObject *caller, int index);
    BeginCallback signal_begin_callback;
    BeginCallback slot_begin_callback;
    EndCallback signal_end_callback;
    EndCallback slot_end_callback;
};
void qt_register_signal_spy_callbacks(QSignalSpyCallbackSet *callback_set);

// ThreadSanitizer's annotations for reads it should not check.
extern "C" void AnnotateIgnoreReadsBegin(const char *file, int line);
extern "C" void AnnotateIgnoreReadsEnd(const char *file, int line);

// Also when a test program is run by hand: the C library calls made from
// inside Qt (allocations, copies of its own data) are not checked.
extern "C" const char *__tsan_default_options()
{
    return "ignore_noninstrumented_modules=1";
}

namespace {

char eventQueue; // stands for the event queue's mutex

// Before and after an emission: the queued call is posted in between.
void onSignalBegin(QObject *, int, void **)
{
    __tsan_release(&eventQueue);
}

void onSignalEnd(QObject *, int)
{
    __tsan_release(&eventQueue);
}

// The event was made by the posting thread: its type is read before the
// acquire, so that read is left out of the race detection.
QEvent::Type typeOf(const QEvent *event)
{
    AnnotateIgnoreReadsBegin(__FILE__, __LINE__);
    const QEvent::Type type = event->type();
    AnnotateIgnoreReadsEnd(__FILE__, __LINE__);
    return type;
}

bool onEvent(void **data)
{
    // data: receiver, event, result; false lets Qt deliver the event.
    if (typeOf(static_cast<const QEvent *>(data[1])) == QEvent::MetaCall)
        __tsan_acquire(&eventQueue);
    return false;
}

QSignalSpyCallbackSet callbacks{onSignalBegin, nullptr, onSignalEnd, nullptr};

[[maybe_unused]] const bool registered = [] {
    qt_register_signal_spy_callbacks(&callbacks);
    return QInternal::registerCallback(QInternal::EventNotifyCallback, onEvent);
}();

} // namespace

#endif

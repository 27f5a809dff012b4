#pragma once

#include <QMutex>

#if defined(__SANITIZE_THREAD__)
#define VANTOR_TSAN_ANNOTATE 1
#elif defined(__has_feature)
#if __has_feature(thread_sanitizer)
#define VANTOR_TSAN_ANNOTATE 1
#endif
#endif

#ifdef VANTOR_TSAN_ANNOTATE
#include <sanitizer/tsan_interface.h>
#endif

// A scoped lock on a QMutex, like QMutexLocker, that ThreadSanitizer can see.
// Qt 5's QMutex locks and unlocks inside the (uninstrumented) Qt library with
// futexes, so without these annotations a ThreadSanitizer build reports every
// access guarded by a QMutex as a race. In other builds it is a plain lock.
class WorkerLock
{
public:
    explicit WorkerLock(QMutex *m)
        : m(m)
    {
        relock();
    }
    ~WorkerLock()
    {
        if (locked)
            unlock();
    }
    WorkerLock(const WorkerLock &) = delete;
    WorkerLock &operator=(const WorkerLock &) = delete;

    void unlock()
    {
#ifdef VANTOR_TSAN_ANNOTATE
        __tsan_release(m);
#endif
        m->unlock();
        locked = false;
    }
    void relock()
    {
        m->lock();
#ifdef VANTOR_TSAN_ANNOTATE
        __tsan_acquire(m);
#endif
        locked = true;
    }

private:
    QMutex *m;
    bool locked = false;
};

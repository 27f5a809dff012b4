#pragma once

#include <QDeadlineTimer>
#include <QMutex>
#include <QWaitCondition>
#include <atomic>
#include <chrono>

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

    // Sleeps on the condition until woken or until ns nanoseconds have
    // passed (ns < 0: until woken), with the mutex released meanwhile.
    void wait(QWaitCondition *condition, qint64 ns)
    {
#ifdef VANTOR_TSAN_ANNOTATE
        __tsan_release(m);
#endif
        if (ns < 0)
            condition->wait(m);
        else
            condition->wait(m, QDeadlineTimer(std::chrono::nanoseconds(ns), Qt::PreciseTimer));
#ifdef VANTOR_TSAN_ANNOTATE
        __tsan_acquire(m);
#endif
    }

private:
    QMutex *m;
    bool locked = false;
};

// What wakes a worker's loop: every event from the GUI thread (an answer, a
// start, a stop, a request) sets `pending` and wakes the thread, which
// otherwise sleeps until the deadline its state asks for, or for ever when it
// has nothing to do. Guarded by the worker's mutex.
struct WorkerWake
{
    QWaitCondition condition;
    bool pending = false;

    // Called with the worker's mutex held.
    void notify()
    {
        pending = true;
        condition.wakeAll();
    }
    // The same, releasing the lock first: the woken worker then does not
    // wait for the caller's lock (for events that come often).
    void notifyAndUnlock(WorkerLock &lock)
    {
        pending = true;
        lock.unlock();
        condition.wakeAll();
    }
};

// The loop of a worker thread: one pass of its state table at a time; a pass
// returns how long the worker may sleep (0: go on at once, < 0: until woken),
// and an event that came in meanwhile cuts the sleep short.
template <class Pass>
void runWorkerLoop(QMutex *mutex, WorkerWake *wake, const std::atomic<bool> &stop, Pass pass)
{
    while (!stop) {
        const qint64 ns = pass();
        if (ns == 0)
            continue;
        WorkerLock lock(mutex);
        if (!wake->pending && !stop)
            lock.wait(&wake->condition, ns);
        wake->pending = false;
    }
    // Hands everything the thread did over to whoever joins it (see
    // stopWorkerLoop): QThread::wait() joins inside Qt, where ThreadSanitizer
    // cannot see it.
    WorkerLock last(mutex);
}

// Stops a worker's loop and waits for its thread to end.
template <class Thread>
void stopWorkerLoop(Thread *thread, QMutex *mutex, WorkerWake *wake, std::atomic<bool> *stop)
{
    {
        WorkerLock lock(mutex);
        *stop = true;
        wake->notify();
    }
    thread->wait();
    WorkerLock joined(mutex); // takes over what the thread did last
}


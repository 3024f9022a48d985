#pragma once

#include <QFuture>
#include <QList>
#include <QMetaObject>
#include <QObject>
#include <QPointer>
#include <QPromise>
#include <QSemaphore>
#include <QtConcurrent/QtConcurrentRun>
#include <atomic>
#include <functional>
#include <memory>

// One piece of long work beside a window, on Qt Concurrent's pool: the one
// way to do anything whose cost grows with a file, a line or a number of
// matches. The work gets a Control: it hands its results to the window in
// slices, says how far it has come, and asks stopped() often (every slice,
// at least). The window's callbacks run on the window's thread, in order:
// slices and progress, then done once at the end.
//
// Memory stays bounded: at most kInFlight slices wait for the window; the
// work waits (still stoppable) before handing over another. stop() takes
// effect at once for the window: no callback of that run comes after it,
// and the work ends at its next check. Destroying the task stops the work
// and waits until it has ended, so the work may use what its owner owns.
template <typename Slice>
class LongTask
{
public:
    static constexpr int kInFlight = 4;

    struct Callbacks {
        std::function<void(Slice)> slice;
        std::function<void(qint64 done, qint64 total)> progress;
        std::function<void()> done;
    };

private:
    struct State {
        Callbacks callbacks;
        QPointer<QObject> window;
        std::atomic_bool stopped{false};
        std::atomic_bool progressPending{false};
        std::atomic<qint64> done{0}, total{0};
        bool ended = false; // on the window's thread
        QSemaphore free{kInFlight};
    };

public:
    class Control
    {
    public:
        bool stopped() const { return m_state->stopped.load() || m_promise.isCanceled(); }
        // False when the run was stopped (the slice is dropped).
        bool deliver(Slice slice)
        {
            while (!m_state->free.tryAcquire(1, 10))
                if (stopped())
                    return false;
            if (stopped())
                return false;
            post([slice = std::move(slice)](State &s) {
                s.free.release();
                if (s.callbacks.slice)
                    s.callbacks.slice(std::move(slice));
            });
            return true;
        }
        // Only the latest figure waits for the window.
        void progress(qint64 done, qint64 total)
        {
            m_state->done = done;
            m_state->total = total;
            if (m_state->progressPending.exchange(true))
                return;
            post([](State &s) {
                s.progressPending = false;
                if (s.callbacks.progress)
                    s.callbacks.progress(s.done.load(), s.total.load());
            });
        }

    private:
        friend class LongTask;
        Control(std::shared_ptr<State> state, QPromise<void> &promise) : m_state(std::move(state)), m_promise(promise) {}
        template <typename F>
        void post(F f)
        {
            QMetaObject::invokeMethod(m_state->window, [state = m_state, f = std::move(f)]() mutable {
                if (!state->stopped.load())
                    f(*state);
            }, Qt::QueuedConnection);
        }
        std::shared_ptr<State> m_state;
        QPromise<void> &m_promise;
    };

    explicit LongTask(QObject *window) : m_window(window) {}
    ~LongTask()
    {
        stop();
        for (QFuture<void> &f : m_runs)
            f.waitForFinished();
    }
    LongTask(const LongTask &) = delete;
    LongTask &operator=(const LongTask &) = delete;

    // Stops the run under way, if any, and starts work.
    void start(std::function<void(Control &)> work, Callbacks callbacks)
    {
        stop();
        m_runs.removeIf([](const QFuture<void> &f) { return f.isFinished(); });
        auto state = std::make_shared<State>();
        state->callbacks = std::move(callbacks);
        state->window = m_window;
        m_state = state;
        m_runs.append(QtConcurrent::run([state, work = std::move(work)](QPromise<void> &promise) {
            Control control(state, promise);
            work(control);
            control.post([](State &s) {
                s.ended = true;
                if (s.callbacks.done)
                    s.callbacks.done();
            });
        }));
    }
    void stop()
    {
        if (m_state)
            m_state->stopped = true;
        m_state.reset();
        for (QFuture<void> &f : m_runs)
            f.cancel();
    }
    // True from start() until done ran or stop().
    bool running() const { return m_state && !m_state->ended; }
    // True when no work of any run is still going (a stopped one may be,
    // until its next check).
    bool finished() const
    {
        for (const QFuture<void> &f : m_runs)
            if (!f.isFinished())
                return false;
        return true;
    }

private:
    QObject *m_window;
    std::shared_ptr<State> m_state;
    QList<QFuture<void>> m_runs;
};

#pragma once

#include <QElapsedTimer>
#include <QTimer>
#include <algorithm>

// The event loop's longest stall: a 10 ms timer notes the longest time
// between two of its ticks (or between a tick and beat(), called right after
// work that ran on the loop's thread). What a user feels as a freeze.
class Heartbeat
{
public:
    Heartbeat()
    {
        m_timer.setInterval(10);
        QObject::connect(&m_timer, &QTimer::timeout, [this] { beat(); });
        reset();
        m_timer.start();
    }
    void reset()
    {
        m_clock.start();
        m_last = 0;
        m_longest = 0;
    }
    void beat()
    {
        const qint64 now = m_clock.elapsed();
        m_longest = std::max(m_longest, now - m_last);
        m_last = now;
    }
    qint64 longestMs() const { return m_longest; }

private:
    QTimer m_timer;
    QElapsedTimer m_clock;
    qint64 m_last = 0;
    qint64 m_longest = 0;
};

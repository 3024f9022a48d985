#include "document/StatusClock.h"

#include <QDateTime>
#include <QLocale>

StatusClock &StatusClock::instance()
{
    static StatusClock clock;
    return clock;
}

StatusClock::StatusClock()
{
    m_timer.setSingleShot(true);
    connect(&m_timer, &QTimer::timeout, this, &StatusClock::refresh);
    refresh();
}

void StatusClock::refresh()
{
    const QDateTime now = QDateTime::currentDateTime();
    m_date = QLocale().toString(now.date(), QLocale::ShortFormat);
    m_time = QLocale().toString(now.time(), QLocale::ShortFormat);
    emit changed();
    // Wake again just after the next minute begins.
    const int msIntoMinute = now.time().second() * 1000 + now.time().msec();
    m_timer.start(60000 - msIntoMinute + 50);
}

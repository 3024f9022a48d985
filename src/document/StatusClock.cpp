#include "document/StatusClock.h"

#include <QDateTime>
#include <QLocale>
#include <QRegularExpression>

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
    // Hours and minutes in the locale's order; seconds would stand still
    // between the once-a-minute updates.
    static const QString timeFormat = [] {
        QString format = QLocale().timeFormat(QLocale::ShortFormat);
        format.remove(QRegularExpression(QStringLiteral("[^hHmaAp]?s+")));
        return format.trimmed();
    }();
    m_time = QLocale().toString(now.time(), timeFormat);
    emit changed();
    // Wake again just after the next minute begins.
    const int msIntoMinute = now.time().second() * 1000 + now.time().msec();
    m_timer.start(60000 - msIntoMinute + 50);
}

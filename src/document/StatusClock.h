#pragma once

#include <QObject>
#include <QString>
#include <QTimer>

// The date and time shown in every document's status bar. One clock for the
// whole program formats them once a minute, instead of every window doing it
// every second.
class StatusClock : public QObject
{
    Q_OBJECT

public:
    static StatusClock &instance();

    QString date() const { return m_date; }
    QString time() const { return m_time; }

signals:
    void changed();

private:
    StatusClock();
    void refresh();

    QTimer m_timer;
    QString m_date;
    QString m_time;
};

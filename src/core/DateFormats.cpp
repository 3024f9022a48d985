#include "core/DateFormats.h"

namespace DateFormats {

const QStringList kFormats = {QStringLiteral("DD/MM/YYYY"), QStringLiteral("DD/MMM/YYYY"),
                              QStringLiteral("DDDD MMMM D, YYYY"), QStringLiteral("MMMM D, YYYY"),
                              QStringLiteral("DDD MMM D, YYYY")};

QChar separator(const QLocale &locale)
{
    for (const QChar c : locale.dateFormat(QLocale::ShortFormat)) {
        if (!c.isLetter() && c != u'\'' && !c.isSpace())
            return c;
    }
    return u'/';
}

QString format(const QDate &date, const QString &pattern, const QLocale &locale)
{
    QString out;
    for (qsizetype i = 0; i < pattern.size();) {
        const QChar c = pattern.at(i);
        qsizetype run = 1;
        while (i + run < pattern.size() && pattern.at(i + run) == c)
            ++run;
        i += run;
        // An abbreviated name may end in a dot of its own ("Dez."): before the
        // date separator or at the end it would double up, so it goes.
        if ((c == u'D' || c == u'M') && run >= 3) {
            QString name = c == u'D' ? locale.dayName(date.dayOfWeek(), run >= 4 ? QLocale::LongFormat : QLocale::ShortFormat)
                                     : locale.monthName(date.month(), run >= 4 ? QLocale::LongFormat : QLocale::ShortFormat);
            if (name.endsWith(u'.') && (i == pattern.size() || pattern.at(i) == u'/'))
                name.chop(1);
            out += name;
            continue;
        }
        if (c == u'D') {
            out += run == 2 ? QStringLiteral("%1").arg(date.day(), 2, 10, QLatin1Char('0')) : QString::number(date.day());
        } else if (c == u'M') {
            out += run == 2 ? QStringLiteral("%1").arg(date.month(), 2, 10, QLatin1Char('0')) : QString::number(date.month());
        } else if (c == u'Y') {
            out += QString::number(date.year()).rightJustified(4, QLatin1Char('0'));
        } else if (c == u'/') {
            out += QString(run, separator(locale));
        } else {
            out += QString(run, c);
        }
    }
    return out;
}

QStringList entries(const QDate &date, const QLocale &locale)
{
    QStringList list;
    for (const QString &pattern : kFormats)
        list << format(date, pattern, locale);
    return list;
}

} // namespace DateFormats

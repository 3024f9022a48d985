#pragma once

#include <QDate>
#include <QLocale>
#include <QStringList>

// The five date formats offered for inserting a date, and the date written in
// each: DD day with two digits, D without a leading zero, MM month number,
// MMM/MMMM short/full month name, DDD/DDDD short/full weekday name, YYYY the
// year, "/" the locale's date separator; anything else stands for itself.
namespace DateFormats {

extern const QStringList kFormats;

// The locale's date separator, taken from its short date format.
QChar separator(const QLocale &locale);

QString format(const QDate &date, const QString &pattern, const QLocale &locale);

// The date in every format, in list order.
QStringList entries(const QDate &date, const QLocale &locale);

} // namespace DateFormats

#pragma once

#include "core/FileIO.h"

#include <QStringList>
#include <functional>

// The lines of a file that hold a phrase: the phrase with blanks around it
// removed and lower-cased is looked for in each lower-cased line; a matching
// line is listed once, with its own blanks around it removed, in file order.
// Empty lines are never listed. Lines end at CR LF, LF or CR. The file's
// encoding is judged from its start as File > Open judges it: UTF-16, UTF-32
// and legacy files are read through their decoder, a BOM is skipped; in the
// others a line is text in UTF-8 when it is valid UTF-8, else in Windows-1252.
//
// The file is read in slices, so memory follows the results, not the file.
// A line of plain ASCII is compared byte by byte; a line with any other
// character is lower-cased by Qt, as the rule above says.
namespace QuickScan {

QString normalizedPhrase(const QString &typed);

// The rule for one line (already decoded).
bool lineMatches(const QString &line, const QString &phrase);
QString listed(const QString &line);

struct Outcome {
    FileIO::Failure failure; // a read that failed, at offset
    qint64 offset = 0;       // where reading stopped
    bool stopped = false;    // keepGoing said no
};

// Scans path from byte offset from (0: the start; a later offset is where an
// earlier scan stopped, at the start of a line). found receives the listed
// lines a slice at a time; keepGoing(done, total) is asked after each slice.
Outcome scan(const QString &path, const QString &phrase, qint64 from, const std::function<void(QStringList)> &found,
             const std::function<bool(qint64, qint64)> &keepGoing);

} // namespace QuickScan

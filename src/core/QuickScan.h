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
// The file is read in slices and searched as bytes (an ASCII phrase in the
// bytes lower-cased; a line with other characters that the bytes did not
// match is decoded and lower-cased by Qt, as the rule above says, a slice of
// it at a time when it is longer than a slice). No line is held whole:
// memory follows the slice and the rows kept, whatever the line lengths.
namespace QuickScan {

QString normalizedPhrase(const QString &typed);

// The rule for one line (already decoded).
bool lineMatches(const QString &line, const QString &phrase);
QString listed(const QString &line);

struct Limits {
    qsizetype rows = 100000;     // lines listed; the others are only counted
    qsizetype shown = 300;       // characters listed of a line (then "…")
    qsizetype slice = 4 << 20;   // bytes read at a time
};

struct Outcome {
    FileIO::Failure failure; // a read that failed, at offset
    qint64 offset = 0;       // where reading stopped: the start of a line
    qint64 end = 0;          // where the scan ends: the file's size when it began
    bool stopped = false;    // keepGoing said no
    qint64 listed = 0;       // lines given to found
    qint64 more = 0;         // matching lines beyond limits.rows
};

// Scans path from byte offset from (0: the start; a later offset is where an
// earlier scan stopped) up to end (-1: the file's size now; a file that grows
// meanwhile is scanned only that far). found receives the listed lines a
// slice at a time; keepGoing(done, total) is asked after each slice, so a
// scan stops within one slice whatever the line lengths.
Outcome scan(const QString &path, const QString &phrase, qint64 from, const std::function<void(QStringList)> &found,
             const std::function<bool(qint64, qint64)> &keepGoing, qint64 end = -1, const Limits &limits = {});

} // namespace QuickScan

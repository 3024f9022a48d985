#pragma once

#include "core/FileIO.h"

#include <QString>
#include <functional>

class Dialogs;

// The question asked when reading or writing a file fails: Abort, Retry or
// Ignore, three lines (the caller's first line, the failure's description,
// the caller's last line), no icon, captioned with the program's title.
namespace FileQuestion {

// The last line of most of these questions, as the program has always put it.
extern const QString kWhatNow;

struct Lines {
    QString first;
    QString last;
    // The failure's number goes in front of the first line ("53> ...").
    bool numbered = false;
    // Passing over a failed read leaves nothing to read: every later step
    // needs the file and fails in turn, so Ignore asks again.
    bool ignoreAsksAgain = false;
};

// Runs step until it succeeds, asking after each failure; Retry runs it
// again. True when the step succeeded; false after Abort or Ignore (the
// step's work is missing, so nothing after it may go on as if it had worked).
bool untilDone(Dialogs &dialogs, const Lines &lines, const std::function<FileIO::Failure()> &step);

} // namespace FileQuestion

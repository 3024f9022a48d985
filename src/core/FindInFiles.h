#pragma once

#include "core/TextSearch.h"

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>
#include <functional>

// Looks for a text in many files: a folder with its sub-folders, or a list
// of files. A file is read through the read gate (FileIO::readWholeFile:
// anything but a regular file, or a file too big, is skipped), skipped when
// a NUL byte in its first 8 KB makes it binary (UTF-16 and UTF-32 text
// aside), and searched in its detected encoding as the editor would show it.
// An open document with unsaved changes is searched as it is, not its file.
// Version-control folders (.git and the like) are not entered, and a folder
// reached twice through links is searched once, so link loops end.
//
// Memory stays bounded: at most maxKept hits are kept (every match is still
// counted), and a long line is shown only around its match.
namespace FindInFiles {

constexpr qint64 kMaxKept = 100000;
// How much of a line a hit shows at most (in UTF-16 units), and how much of
// it comes before the match when the line has to be cut.
constexpr int kShownChars = 200;
constexpr int kShownBefore = 60;

struct Query {
    QString text;
    TextSearch::Options options;
    QString folder;        // searched with its sub-folders, or
    QStringList files;     // these files, when folder is empty
    QString patterns;      // "*.html;*.css": file names to search; empty: all
    // The texts of open documents with unsaved changes, by their files'
    // absolute paths: searched instead of what their files hold.
    QHash<QString, QString> openTexts;
};

struct Hit {
    qint64 line = 0;       // from 1
    qsizetype column = 0;  // of the match in its line, in UTF-16 units
    qsizetype length = 0;  // of the match
    QString shown;         // the line, or the part of it around the match
    qsizetype shownAt = 0; // where the match starts in shown
};

struct FileHits {
    QString path;
    QList<Hit> hits;      // the kept ones
    qint64 matches = 0;   // all of them
};

struct Totals {
    qint64 searched = 0;      // files read and searched
    qint64 skipped = 0;       // files refused, unreadable or binary
    qint64 filesWithHits = 0;
    qint64 matches = 0;
    qint64 kept = 0;
    bool capped() const { return kept < matches; }
};

// A part of the results; totals count everything so far.
struct Batch {
    QList<FileHits> files;
    Totals totals;
    bool last = false;
};

struct Control {
    std::function<bool()> stopped;
    // False when the run was stopped.
    std::function<bool(Batch)> deliver;
    std::function<void(qint64 done, qint64 total)> progress;
};

// "*.html;*.css; *.js" as a list of patterns; empty means every file.
QStringList patternList(const QString &patterns);

// The files a query searches, in a stable order (the gate is not asked yet).
QStringList candidates(const Query &query, const std::function<bool()> &stopped);

// The line around a match as a hit shows it: the whole line when it is
// short, else kShownChars around the match with "…" where it was cut.
Hit shownHit(QStringView line, qsizetype column, qsizetype length);

// Runs the query: batches of results, the last one marked, unless stopped.
void run(const Query &query, const Control &control, qint64 maxKept = kMaxKept);

// "312 matches in 41 of 1,204 files", and "(first 100,000 shown)" when capped.
QString summary(const Totals &totals);

// A hit picked for replacing, named by where its match starts.
struct Place {
    qint64 line = 0;      // from 1
    qsizetype column = 0; // in UTF-16 units
    QString shown;        // the hit's shownHit text: the line must still read so
};

struct Replacement {
    QString text;            // the new text; null when nothing was replaced
    qsizetype replaced = 0;
    qsizetype missing = 0;   // places where the search no longer finds a match
    qsizetype gaveUpLine = 0; // see TextSearch::Match: nothing replaced
    bool stopped = false;     // nothing replaced
};

// The matches of search in text that start at the places, replaced as the
// find bar's Replace would (with: groups and escapes for an expression).
// A place where the text changed since the search (no match starts there
// now, or its line reads otherwise) is left alone and counted as missing.
// stopped, asked every few thousand matches, gives up: nothing replaced.
Replacement replaceAt(const QString &text, const TextSearch &search, const QList<Place> &places, const QString &with,
                      const std::function<bool()> &stopped = {});

struct FileReplaced {
    qsizetype replaced = 0;
    qsizetype missing = 0;
    QString error; // why the file was not written; empty when it was, or had nothing to replace
};

// replaceAt on a file that is not open: read through the read gate, written
// back in its own encoding and line breaks through the checked atomic write,
// and only when no other program changed it since it was read. A file whose
// bytes would not come back exactly from its text is not written, nor is
// one reached through a link (it may lead out of what was searched).
FileReplaced replaceInFile(const QString &path, const TextSearch &search, const QList<Place> &places, const QString &with,
                           const std::function<bool()> &stopped = {});

} // namespace FindInFiles

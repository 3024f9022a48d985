#pragma once

#include <QByteArray>
#include <QString>
#include <functional>

// Whole-file reads and atomic writes that report failures as a number and
// one line of text, the way the editor's failure questions show them.
namespace FileIO {

struct Failure {
    int code = 0;            // 0: no failure
    QString description;
    explicit operator bool() const { return code != 0; }
};

// Failure numbers, kept stable because users see them.
enum Code {
    OutOfMemory = 7,
    FileNotFound = 53,
    BadFileMode = 54,
    DiskFull = 61,
    PermissionDenied = 70,
    PathFileAccessError = 75,
    PathNotFound = 76,
    DeviceIOError = 57,
    // The file changed on disk between the start of a write and its
    // replacement: nothing was replaced.
    ChangedMeanwhile = 1000,
    // The reader asked to stop: nothing was read.
    Stopped = 1001,
};

// The most bytes of text the editor holds; larger files are refused before
// they are read (past it the text control would abort the whole program).
constexpr qint64 kMaxTextBytes = 0x7FFFFFFF;

Failure makeFailure(int code);

// Told how many bytes are done of how many, after each slice of a read or a load.
using Progress = std::function<void(qint64 done, qint64 total)>;

// The one way a file named by the user or found on disk is read whole.
// Anything but a regular file (a named pipe, a device, a socket, a folder)
// is refused, and so is a file larger than the editor holds or than the
// memory available, before any of it is read. The checks are made on the
// opened file itself, so a file swapped meanwhile cannot slip past them.
// With progress, the file is read in slices and progress is told after each.
// With noFollow, a link is refused instead of followed (the program's own
// private files). With stopped, the read ends (Stopped) at the first slice
// after stopped() says so.
Failure readWholeFile(const QString &path, QByteArray *out, const Progress &progress = {}, bool noFollow = false,
                      const std::function<bool()> &stopped = {});
// Reads a file through the same checks as readWholeFile, a slice at a time,
// without holding it whole. take gets the bytes not used yet (the new slice
// after what the last call left) and whether the file ends with them, and
// returns how many it used, or -1 to end the read there without a failure.
// What it leaves must be a few bytes: they come again at the head of the
// next call. The same size limit as readWholeFile's applies to the bytes
// read, however many were used.
Failure readInSlices(const QString &path, qint64 slice, const std::function<qsizetype(QByteArrayView bytes, bool last)> &take,
                     const std::function<bool()> &stopped = {});
// Opens path for reading if it is a regular file, checked on the opened
// file itself, without waiting (a file swapped for a named pipe since a
// look before would otherwise block the open). The caller closes *fd.
Failure openRegular(const QString &path, bool noFollow, int *fd, qint64 *size);

// Refuses a size the editor cannot hold: more than its limit, or more than
// the memory the system can still give.
Failure checkTextSize(qint64 size);
// At most the first upTo bytes of a regular file, through the same checks
// (the size of the whole does not matter).
Failure readFileStart(const QString &path, qint64 upTo, QByteArray *out, bool noFollow = false);

// What tells one version of a file from another: whether it exists, its
// size, its modification time (nanoseconds) and its inode.
struct Stamp {
    bool exists = false;
    qint64 size = 0;
    qint64 modifiedNs = 0;
    quint64 inode = 0;
    bool operator==(const Stamp &o) const
    {
        return exists == o.exists && size == o.size && modifiedNs == o.modifiedNs && inode == o.inode;
    }
    bool operator!=(const Stamp &o) const { return !(*this == o); }
};
Stamp stampOf(const QString &path);

// Whether path is a regular file that may be opened for reading (a named
// pipe, a device or a folder is not); says why not.
Failure checkReadable(const QString &path);

// Bytes of memory the system can still give, without swapping.
qint64 availableMemory();

// A write past the process's file-size limit then fails like a full disk
// instead of killing the program with every window's unsaved text.
void ignoreFileSizeSignal();

struct WriteOptions {
    // When set, the file must still have this stamp just before it is
    // replaced: otherwise another program changed it while it was being
    // written, and nothing is replaced (ChangedMeanwhile).
    const Stamp *unchangedSince = nullptr;
    // The program's own private files (journals, settings): made readable
    // and writable by their owner only.
    bool ownerOnly = false;
    // A link in the file's place is refused instead of followed.
    bool noFollow = false;
    // When set, more bytes after bytes: called until it gives an empty
    // piece; false gives up (ChangedMeanwhile: nothing is replaced). The
    // content is then never held whole.
    std::function<bool(QByteArray *piece)> more;
};

// The one way a file is written. Replaces the file's content with bytes, or
// leaves the old file exactly as it was: the bytes go to a temporary file
// beside it that is renamed over the old one only when every byte was
// written. Only a regular file (or a link to one, followed) is replaced;
// a named pipe, a device or a folder in its place is refused and left alone.
Failure writeWholeFile(const QString &path, const QByteArray &bytes, const WriteOptions &options = {});

// Called with the target just before a write compares its stamp and
// replaces the file: lets a test be "another program" at that moment.
void setBeforeReplaceHook(std::function<void(const QString &target)> hook);

// The absolute, cleaned form of a path, for storing it where it outlives
// the current folder; links stay as the user named them.
QString absolutePath(const QString &path);

} // namespace FileIO

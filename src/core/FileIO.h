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
};

Failure makeFailure(int code);

// Reads a regular file whole. Anything else (a named pipe, a device, a
// socket) and a file larger than the memory available are refused before
// any of it is read.
// Told how many bytes are done of how many, after each slice of a read or a load.
using Progress = std::function<void(qint64 done, qint64 total)>;
// With progress, the file is read in slices and progress is told after each.
Failure readWholeFile(const QString &path, QByteArray *out, const Progress &progress = {});

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

// Replaces the file's content with bytes, or leaves the old file exactly as
// it was: the bytes go to a temporary file beside it that is renamed over the
// old one only when every byte was written.
Failure writeWholeFile(const QString &path, const QByteArray &bytes);

} // namespace FileIO

#include "core/FileIO.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QSaveFile>

#include <cerrno>
#include <fcntl.h>
#include <csignal>
#include <cstring>
#include <limits>
#include <sys/stat.h>
#include <unistd.h>

namespace FileIO {

Failure makeFailure(int code)
{
    switch (code) {
    case OutOfMemory: return {code, QStringLiteral("Out of memory")};
    case FileNotFound: return {code, QStringLiteral("File not found")};
    case DiskFull: return {code, QStringLiteral("Disk full")};
    case PermissionDenied: return {code, QStringLiteral("Permission denied")};
    case PathFileAccessError: return {code, QStringLiteral("Path/File access error")};
    case PathNotFound: return {code, QStringLiteral("Path not found")};
    default: return {DeviceIOError, QStringLiteral("Device I/O error")};
    }
}

namespace {

Failure withDetail(int code, const QString &detail)
{
    Failure f = makeFailure(code);
    f.description += QStringLiteral(": ") + detail;
    return f;
}

// The failure behind errno, for the steps where the system said why.
Failure failureFromErrno(int error, const QString &path, bool writing = true)
{
    switch (error) {
    case ENOSPC:
    case EDQUOT:
    case EFBIG: return makeFailure(DiskFull);
    case EACCES:
    case EPERM:
        return withDetail(PermissionDenied, path + (writing ? QStringLiteral(" is not writable") : QStringLiteral(" is not readable")));
    case EROFS: return withDetail(PermissionDenied, path + QStringLiteral(" is on a read-only file system"));
    case ENOENT: return makeFailure(PathNotFound);
    default: return withDetail(DeviceIOError, QString::fromLocal8Bit(std::strerror(error)));
    }
}

Failure failureFromDevice(const QFileDevice &f, int savedErrno, const QString &path, bool writing = true)
{
    if (savedErrno != 0)
        return failureFromErrno(savedErrno, path, writing);
    switch (f.error()) {
    case QFileDevice::PermissionsError: return withDetail(PermissionDenied, path);
    case QFileDevice::ResourceError: return makeFailure(DiskFull);
    case QFileDevice::OpenError: return makeFailure(PathFileAccessError);
    default: return makeFailure(DeviceIOError);
    }
}

bool parentMissing(const QString &path)
{
    return !QFileInfo(path).absoluteDir().exists();
}

QString kindOf(mode_t mode)
{
    if (S_ISFIFO(mode))
        return QStringLiteral("a named pipe");
    if (S_ISCHR(mode))
        return QStringLiteral("a character device");
    if (S_ISBLK(mode))
        return QStringLiteral("a block device");
    if (S_ISSOCK(mode))
        return QStringLiteral("a socket");
    return QStringLiteral("not a file");
}

QString sizeText(qint64 bytes)
{
    return QLocale::c().formattedDataSize(bytes, 1, QLocale::DataSizeTraditionalFormat);
}

} // namespace

qint64 availableMemory()
{
    QFile meminfo(QStringLiteral("/proc/meminfo"));
    if (meminfo.open(QIODevice::ReadOnly)) {
        for (const QByteArray &line : meminfo.readAll().split('\n')) {
            if (line.startsWith("MemAvailable:"))
                return line.mid(13).trimmed().split(' ').value(0).toLongLong() * 1024;
        }
    }
    const long pages = sysconf(_SC_AVPHYS_PAGES);
    return pages > 0 ? qint64(pages) * sysconf(_SC_PAGESIZE) : std::numeric_limits<qint64>::max();
}

void ignoreFileSizeSignal()
{
    std::signal(SIGXFSZ, SIG_IGN);
}

Stamp stampOf(const QString &path)
{
    struct stat st {};
    if (path.isEmpty() || ::stat(QFile::encodeName(path).constData(), &st) != 0)
        return {};
    return {true, qint64(st.st_size), qint64(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec, quint64(st.st_ino)};
}

Failure checkReadable(const QString &path)
{
    struct stat st {};
    const QByteArray native = QFile::encodeName(path);
    if (path.isEmpty() || ::stat(native.constData(), &st) != 0)
        return withDetail(parentMissing(path) ? PathNotFound : FileNotFound, path);
    if (S_ISDIR(st.st_mode))
        return makeFailure(PathFileAccessError);
    // Opening a named pipe waits for a writer for ever, and a device such as
    // /dev/zero never ends: only regular files are read.
    if (!S_ISREG(st.st_mode))
        return withDetail(PathFileAccessError, QStringLiteral("not a regular file (%1)").arg(kindOf(st.st_mode)));
    if (::euidaccess(native.constData(), R_OK) != 0)
        return withDetail(PermissionDenied, path + QStringLiteral(" is not readable"));
    return {};
}

Failure readWholeFile(const QString &path, QByteArray *out, const Progress &progress)
{
    if (const Failure failure = checkReadable(path))
        return failure;
    const qint64 size = QFileInfo(path).size();
    if (size > availableMemory()) {
        return withDetail(OutOfMemory, QStringLiteral("the file is too big to open (%1; %2 of memory available)")
                                           .arg(sizeText(size), sizeText(availableMemory())));
    }
    QFile f(path);
    errno = 0;
    if (!f.open(QIODevice::ReadOnly))
        return failureFromDevice(f, errno, path, false);
    QByteArray data;
    if (!progress) {
        data = f.readAll();
    } else {
        // In slices into a buffer of the file's size; a file that grows
        // meanwhile is read to its end all the same.
        constexpr qint64 kSlice = 16 * 1024 * 1024;
        data.resize(size);
        qint64 done = 0;
        for (;;) {
            if (done == data.size())
                data.resize(done + kSlice);
            const qint64 n = f.read(data.data() + done, qMin(kSlice, data.size() - done));
            if (n <= 0)
                break;
            done += n;
            progress(done, qMax(size, done));
        }
        data.resize(done);
    }
    if (f.error() != QFileDevice::NoError)
        return failureFromDevice(f, 0, path, false);
    *out = std::move(data);
    return {};
}

namespace {

// Writes fd's content from the start and cuts it to bytes' size; false on
// any shortfall (errno says why).
bool overwrite(int fd, const QByteArray &bytes)
{
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::pwrite(fd, bytes.constData() + done, size_t(bytes.size() - done), off_t(done));
        if (n <= 0) {
            if (n < 0 && errno == EINTR)
                continue;
            if (n == 0)
                errno = ENOSPC;
            return false;
        }
        done += n;
    }
    return ::ftruncate(fd, off_t(bytes.size())) == 0 && ::fsync(fd) == 0;
}

// A file with several hard links is written in place, so that every name
// keeps seeing the same file. The old bytes are read first; the new ones are
// written over them (the file never gets shorter until everything is
// written), and on any failure the old bytes are put back over the blocks
// they had, which needs no new room.
Failure writeInPlace(const QString &path, const QByteArray &bytes)
{
    QByteArray old;
    if (const Failure failure = readWholeFile(path, &old))
        return failure;
    const int fd = ::open(QFile::encodeName(path).constData(), O_WRONLY | O_CLOEXEC);
    if (fd < 0)
        return failureFromErrno(errno, path);
    Failure failure;
    if (!overwrite(fd, bytes)) {
        const int error = errno;
        failure = error == ENOSPC || error == EFBIG || error == EDQUOT ? makeFailure(DiskFull) : failureFromErrno(error, path);
        if (!overwrite(fd, old))
            failure.description += QStringLiteral("; the old content could not be put back either");
    }
    ::close(fd);
    return failure;
}

} // namespace

Failure writeWholeFile(const QString &path, const QByteArray &bytes)
{
    if (path.isEmpty() || parentMissing(path))
        return makeFailure(PathNotFound);
    const QFileInfo info(path);
    if (info.isDir())
        return makeFailure(PathFileAccessError);
    // QSaveFile refuses a file it may not write with a generic error; say why.
    const QByteArray native = QFile::encodeName(path);
    if (info.exists() && ::euidaccess(native.constData(), W_OK) != 0)
        return failureFromErrno(errno, path);
    // The new file is made beside the file itself (a link's target), then renamed.
    const QString dir = QFileInfo(info.exists() ? info.canonicalFilePath() : path).absolutePath();
    if (::euidaccess(QFile::encodeName(dir).constData(), W_OK) != 0) {
        const int error = errno;
        if (error == EACCES || error == EPERM)
            return withDetail(PermissionDenied, QStringLiteral("no new file can be made in ") + dir);
        return failureFromErrno(error, path);
    }
    struct stat before {};
    const bool existed = info.exists() && ::stat(native.constData(), &before) == 0 && S_ISREG(before.st_mode);
    if (existed && before.st_nlink > 1)
        return writeInPlace(info.canonicalFilePath(), bytes);
    QSaveFile f(path);
    errno = 0;
    if (!f.open(QIODevice::WriteOnly))
        return failureFromDevice(f, errno, path);
    // Every step is checked before the old file is replaced: a short write
    // reports no error of its own, and QSaveFile keeps up to 16 KiB in a
    // buffer whose failed final flush its commit() does not report, so on a
    // full disk a small file would be replaced by an empty one.
    errno = 0;
    const bool written = f.write(bytes) == bytes.size() && f.flush();
    if (!written || f.error() != QFileDevice::NoError) {
        const int error = errno;
        f.cancelWriting();
        return error == 0 || error == ENOSPC || error == EFBIG || error == EDQUOT ? makeFailure(DiskFull)
                                                                                   : failureFromErrno(error, path);
    }
    errno = 0;
    if (!f.commit())
        return failureFromDevice(f, errno, path);
    // The new file belongs to whoever saved it: give it the old owner and
    // group back where this process may (as root, say). QSaveFile keeps the mode.
    if (existed && (before.st_uid != ::geteuid() || before.st_gid != ::getegid())
        && ::chown(QFile::encodeName(info.canonicalFilePath()).constData(), before.st_uid, before.st_gid) != 0) {
        // Not allowed: the file stays the saver's, as any editor leaves it.
    }
    return {};
}

} // namespace FileIO

#include "core/FileIO.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QScopeGuard>

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
    case ChangedMeanwhile: return {code, QStringLiteral("Another program changed the file while it was being written")};
    case Stopped: return {code, QStringLiteral("Stopped")};
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
    if (S_ISDIR(mode))
        return QStringLiteral("a folder");
    if (S_ISLNK(mode))
        return QStringLiteral("a link");
    return QStringLiteral("not a file");
}

Failure notRegular(mode_t mode)
{
    return withDetail(PathFileAccessError, QStringLiteral("not a regular file (%1)").arg(kindOf(mode)));
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
    // Opening a named pipe waits for a writer for ever, and a device such as
    // /dev/zero never ends: only regular files are read.
    if (!S_ISREG(st.st_mode))
        return notRegular(st.st_mode);
    if (::euidaccess(native.constData(), R_OK) != 0)
        return withDetail(PermissionDenied, path + QStringLiteral(" is not readable"));
    return {};
}

Failure checkTextSize(qint64 size)
{
    if (size > kMaxTextBytes) {
        return withDetail(OutOfMemory, QStringLiteral("the file is too big for the editor (%1; it holds at most %2)")
                                           .arg(sizeText(size), sizeText(kMaxTextBytes)));
    }
    if (size > availableMemory()) {
        return withDetail(OutOfMemory, QStringLiteral("the file is too big to open (%1; %2 of memory available)")
                                           .arg(sizeText(size), sizeText(availableMemory())));
    }
    return {};
}

Failure openRegular(const QString &path, bool noFollow, int *fdOut, qint64 *size)
{
    const QByteArray native = QFile::encodeName(path);
    struct stat st {};
    if (path.isEmpty() || (noFollow ? ::lstat(native.constData(), &st) : ::stat(native.constData(), &st)) != 0)
        return withDetail(parentMissing(path) ? PathNotFound : FileNotFound, path);
    if (!S_ISREG(st.st_mode))
        return notRegular(st.st_mode);
    const int fd = ::open(native.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | (noFollow ? O_NOFOLLOW : 0));
    if (fd < 0) {
        const int error = errno;
        if (error == ELOOP)
            return notRegular(S_IFLNK);
        return error == EACCES || error == EPERM ? withDetail(PermissionDenied, path + QStringLiteral(" is not readable"))
                                                 : failureFromErrno(error, path, false);
    }
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        const int error = errno;
        ::close(fd);
        return S_ISREG(st.st_mode) ? failureFromErrno(error, path, false) : notRegular(st.st_mode);
    }
    *fdOut = fd;
    *size = st.st_size;
    return {};
}

namespace {

// Reads from fd into data from done on, growing it as far as limit; the
// bytes read in all, or -1 (errno says why).
// -1: a read failed (errno says why); -2: stopped.
qint64 readInto(int fd, QByteArray &data, qint64 done, qint64 limit, qint64 slice, const Progress &progress, qint64 size,
                const std::function<bool()> &stopped = {})
{
    for (;;) {
        if (stopped && stopped())
            return -2;
        if (done == data.size()) {
            if (done >= limit)
                return done;
            // A file that grew since it was measured: room for more, in
            // steps that grow with it.
            data.resize(done + qMin(limit - done, qMax<qint64>(64 * 1024, done / 2)));
        }
        const ssize_t n = ::read(fd, data.data() + done, size_t(qMin(slice, data.size() - done)));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return -1;
        }
        if (n == 0)
            return done;
        done += n;
        if (progress)
            progress(done, qMax(size, done));
    }
}

} // namespace

Failure readWholeFile(const QString &path, QByteArray *out, const Progress &progress, bool noFollow,
                      const std::function<bool()> &stopped)
{
    int fd = -1;
    qint64 size = 0;
    if (const Failure failure = openRegular(path, noFollow, &fd, &size))
        return failure;
    const auto closeFd = qScopeGuard([fd] { ::close(fd); });
    if (const Failure failure = checkTextSize(size))
        return failure;
    // In slices into a buffer of the file's size; a file that grows
    // meanwhile is read to its end, as far as the editor's limit.
    constexpr qint64 kSlice = 16 * 1024 * 1024;
    QByteArray data;
    data.resize(size);
    const qint64 done = readInto(fd, data, 0, kMaxTextBytes + 1,
                                 progress || stopped ? kSlice : std::numeric_limits<qint64>::max(), progress, size, stopped);
    if (done == -2)
        return makeFailure(Stopped);
    if (done < 0)
        return failureFromErrno(errno, path, false);
    if (const Failure failure = checkTextSize(done))
        return failure;
    data.resize(done);
    *out = std::move(data);
    return {};
}

Failure readInSlices(const QString &path, qint64 slice, const std::function<qsizetype(QByteArrayView bytes, bool last)> &take,
                     const std::function<bool()> &stopped)
{
    int fd = -1;
    qint64 size = 0;
    if (const Failure failure = openRegular(path, false, &fd, &size))
        return failure;
    const auto closeFd = qScopeGuard([fd] { ::close(fd); });
    if (const Failure failure = checkTextSize(size))
        return failure;
    QByteArray buffer(slice, Qt::Uninitialized);
    qsizetype kept = 0; // bytes take left, at the head of the buffer
    qint64 done = 0;
    for (;;) {
        if (stopped && stopped())
            return makeFailure(Stopped);
        if (buffer.size() - kept < slice)
            buffer.resize(kept + slice);
        const ssize_t n = ::read(fd, buffer.data() + kept, size_t(slice));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return failureFromErrno(errno, path, false);
        }
        done += n;
        if (done > kMaxTextBytes)
            return checkTextSize(done);
        const qsizetype have = kept + n;
        const qsizetype used = take(QByteArrayView(buffer.constData(), have), n == 0);
        if (used < 0 || n == 0)
            return {};
        kept = have - used;
        std::memmove(buffer.data(), buffer.constData() + used, size_t(kept));
    }
}

Failure readFileStart(const QString &path, qint64 upTo, QByteArray *out, bool noFollow)
{
    int fd = -1;
    qint64 size = 0;
    if (const Failure failure = openRegular(path, noFollow, &fd, &size))
        return failure;
    const auto closeFd = qScopeGuard([fd] { ::close(fd); });
    QByteArray data;
    const qint64 done = readInto(fd, data, 0, upTo, upTo, {}, size);
    if (done < 0)
        return failureFromErrno(errno, path, false);
    data.resize(done);
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

namespace {

// The file a write of path lands in: path itself, or the end of its chain of
// links (which may not exist yet: a dangling link makes its target).
QString linkTarget(const QString &path, bool *loop)
{
    QString at = path;
    for (int hops = 0; hops < 40; ++hops) {
        struct stat st {};
        if (::lstat(QFile::encodeName(at).constData(), &st) != 0 || !S_ISLNK(st.st_mode))
            return at;
        const QString next = QFile::symLinkTarget(at);
        if (next.isEmpty())
            return at;
        at = next;
    }
    *loop = true;
    return at;
}

// The permission bits this process gives a file it makes.
mode_t processUmask()
{
    static const mode_t mask = [] {
        QFile status(QStringLiteral("/proc/self/status"));
        if (status.open(QIODevice::ReadOnly)) {
            for (const QByteArray &line : status.readAll().split('\n')) {
                if (line.startsWith("Umask:"))
                    return mode_t(line.mid(6).trimmed().toUInt(nullptr, 8));
            }
        }
        return mode_t(022);
    }();
    return mask;
}

std::function<void(const QString &)> &beforeReplaceHook()
{
    static std::function<void(const QString &)> hook;
    return hook;
}

Failure writeFailure(int error, const QString &path)
{
    return error == 0 || error == ENOSPC || error == EFBIG || error == EDQUOT ? makeFailure(DiskFull)
                                                                               : failureFromErrno(error, path);
}

} // namespace

void setBeforeReplaceHook(std::function<void(const QString &target)> hook)
{
    beforeReplaceHook() = std::move(hook);
}

Failure writeWholeFile(const QString &path, const QByteArray &bytes, const WriteOptions &options)
{
    if (path.isEmpty())
        return makeFailure(PathNotFound);
    struct stat st {};
    const bool named = ::lstat(QFile::encodeName(path).constData(), &st) == 0;
    if (named && S_ISLNK(st.st_mode) && options.noFollow)
        return notRegular(st.st_mode);
    bool loop = false;
    const QString target = linkTarget(path, &loop);
    if (loop)
        return withDetail(PathFileAccessError, QStringLiteral("too many links"));
    const QByteArray native = QFile::encodeName(target);
    const bool existed = ::lstat(native.constData(), &st) == 0;
    // Only a regular file is replaced: a rename over a named pipe or a device
    // would put a file in its place (as root, /dev/zero would become one).
    if (existed && !S_ISREG(st.st_mode))
        return notRegular(st.st_mode);
    if (parentMissing(target))
        return makeFailure(PathNotFound);
    // Say why a file may not be written instead of a generic error.
    if (existed && ::euidaccess(native.constData(), W_OK) != 0)
        return failureFromErrno(errno, path);
    const QString dir = QFileInfo(target).absolutePath();
    if (::euidaccess(QFile::encodeName(dir).constData(), W_OK) != 0) {
        const int error = errno;
        if (error == EACCES || error == EPERM)
            return withDetail(PermissionDenied, QStringLiteral("no new file can be made in ") + dir);
        return failureFromErrno(error, path);
    }
    const auto changedMeanwhile = [&] { return options.unchangedSince && stampOf(target) != *options.unchangedSince; };
    if (existed && st.st_nlink > 1) {
        if (changedMeanwhile())
            return makeFailure(ChangedMeanwhile);
        if (!options.more)
            return writeInPlace(target, bytes);
        QByteArray whole = bytes; // a file with other names: written in place, whole
        for (QByteArray piece; options.more(&piece) && !piece.isEmpty();)
            whole += piece;
        return writeInPlace(target, whole);
    }

    // The temporary file is made owner-only, then given its final mode and
    // owner before any byte is in it.
    QByteArray temp = QFile::encodeName(dir + QLatin1Char('/') + QFileInfo(target).fileName()) + ".XXXXXX";
    const int fd = ::mkostemp(temp.data(), O_CLOEXEC);
    if (fd < 0)
        return writeFailure(errno, path);
    const auto discard = [&](int error) {
        ::close(fd);
        ::unlink(temp.constData());
        return writeFailure(error, path);
    };
    const mode_t mode = options.ownerOnly ? mode_t(0600) : existed ? (st.st_mode & 07777) : (0666 & ~processUmask());
    if (::fchmod(fd, mode) != 0)
        return discard(errno);
    // The new file belongs to whoever saved it: give it the old owner and
    // group back where this process may (as root, say).
    if (existed && (st.st_uid != ::geteuid() || st.st_gid != ::getegid()) && ::fchown(fd, st.st_uid, st.st_gid) != 0) {
        // Not allowed: the file stays the saver's, as any editor leaves it.
    }
    // Every step is checked before the old file is replaced: a short write
    // reports no error of its own, and a file cut short must never replace
    // a whole one.
    QByteArray piece = bytes;
    for (;;) {
        for (qsizetype done = 0; done < piece.size();) {
            const ssize_t n = ::write(fd, piece.constData() + done, size_t(piece.size() - done));
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0)
                return discard(n == 0 ? ENOSPC : errno);
            done += n;
        }
        if (!options.more)
            break;
        piece = QByteArray();
        if (!options.more(&piece)) {
            ::close(fd);
            ::unlink(temp.constData());
            return makeFailure(ChangedMeanwhile);
        }
        if (piece.isEmpty())
            break;
    }
    if (::fsync(fd) != 0)
        return discard(errno);
    if (::close(fd) != 0) {
        const int error = errno;
        ::unlink(temp.constData());
        return writeFailure(error, path);
    }
    // Another program's change while this one was being written is never
    // overwritten unasked.
    if (beforeReplaceHook())
        beforeReplaceHook()(target);
    if (changedMeanwhile()) {
        ::unlink(temp.constData());
        return makeFailure(ChangedMeanwhile);
    }
    if (::rename(temp.constData(), native.constData()) != 0) {
        const int error = errno;
        ::unlink(temp.constData());
        return writeFailure(error, path);
    }
    return {};
}

QString absolutePath(const QString &path)
{
    return path.isEmpty() ? path : QDir::cleanPath(QFileInfo(path).absoluteFilePath());
}

} // namespace FileIO

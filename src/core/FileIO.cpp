#include "core/FileIO.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace FileIO {

Failure makeFailure(int code)
{
    switch (code) {
    case FileNotFound: return {code, QStringLiteral("File not found")};
    case DiskFull: return {code, QStringLiteral("Disk full")};
    case PermissionDenied: return {code, QStringLiteral("Permission denied")};
    case PathFileAccessError: return {code, QStringLiteral("Path/File access error")};
    case PathNotFound: return {code, QStringLiteral("Path not found")};
    default: return {DeviceIOError, QStringLiteral("Device I/O error")};
    }
}

namespace {

Failure failureFromDevice(const QFileDevice &f)
{
    switch (f.error()) {
    case QFileDevice::PermissionsError: return makeFailure(PermissionDenied);
    case QFileDevice::ResourceError: return makeFailure(DiskFull);
    case QFileDevice::OpenError: return makeFailure(PathFileAccessError);
    default: return makeFailure(DeviceIOError);
    }
}

bool parentMissing(const QString &path)
{
    return !QFileInfo(path).absoluteDir().exists();
}

} // namespace

Failure readWholeFile(const QString &path, QByteArray *out)
{
    const QFileInfo info(path);
    if (path.isEmpty() || !info.exists())
        return makeFailure(parentMissing(path) ? PathNotFound : FileNotFound);
    if (info.isDir())
        return makeFailure(PathFileAccessError);
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return failureFromDevice(f);
    QByteArray data = f.readAll();
    if (f.error() != QFileDevice::NoError)
        return failureFromDevice(f);
    *out = std::move(data);
    return {};
}

Failure writeWholeFile(const QString &path, const QByteArray &bytes)
{
    if (path.isEmpty() || parentMissing(path))
        return makeFailure(PathNotFound);
    if (QFileInfo(path).isDir())
        return makeFailure(PathFileAccessError);
    QSaveFile f(path);
    if (!f.open(QIODevice::WriteOnly))
        return failureFromDevice(f);
    // A short write (a full disk, a file-size limit) reports no error of its
    // own; committing it would replace the file with a truncated one.
    if (f.write(bytes) != bytes.size()) {
        const Failure failure = f.error() == QFileDevice::NoError || f.error() == QFileDevice::WriteError
                                    ? makeFailure(DiskFull) : failureFromDevice(f);
        f.cancelWriting();
        return failure;
    }
    if (!f.commit())
        return f.error() == QFileDevice::WriteError ? makeFailure(DiskFull) : failureFromDevice(f);
    return {};
}

} // namespace FileIO

#include "core/Journal.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QMetaEnum>
#include <QRegularExpression>
#include <QUrl>

#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>

namespace Journal {

namespace {

const QByteArray kMagic = "Orvane journal 1\n";
const QString kLockName = QStringLiteral("lock");
// Marks a folder whose unreadable journals the user has been told of.
const QString kToldName = QStringLiteral("told");
// A header is a few lines; anything longer is no journal of this version.
constexpr qint64 kMaxHeader = 64 * 1024;

bool isFolderName(const QString &name)
{
    static const QRegularExpression pattern(QStringLiteral("^[0-9]+-[0-9]+$"));
    return pattern.match(name).hasMatch();
}

bool isJournalName(const QString &name)
{
    static const QRegularExpression pattern(QStringLiteral("^[0-9]+\\.journal$"));
    return pattern.match(name).hasMatch();
}

// A journal being written: its temporary file, renamed over the journal
// once whole. One left behind by a process that died is of no use.
bool isTemporaryName(const QString &name)
{
    static const QRegularExpression pattern(QStringLiteral("^[0-9]+\\.journal\\.[A-Za-z0-9]{6}$"));
    return pattern.match(name).hasMatch();
}

// What lstat says of path: never through a link.
bool lstatOf(const QString &path, struct stat *st)
{
    return ::lstat(QFile::encodeName(path).constData(), st) == 0;
}

// A folder of ours: a real folder (not a link to one) owned by this user.
bool isOwnFolder(const QString &path)
{
    struct stat st {};
    return lstatOf(path, &st) && S_ISDIR(st.st_mode) && st.st_uid == ::geteuid();
}

// Removes a file this program wrote: a regular file (a link of that name is
// removed as a link, never followed) of one of its own names.
void removeOwnFile(const QString &path)
{
    const QString name = QFileInfo(path).fileName();
    if (!isJournalName(name) && !isTemporaryName(name) && name != kToldName)
        return;
    struct stat st {};
    if (lstatOf(path, &st) && (S_ISREG(st.st_mode) || S_ISLNK(st.st_mode)))
        ::unlink(QFile::encodeName(path).constData());
}

QStringList namesIn(const QString &folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
}

// Removes a folder whose journals are all gone: its mark, then the folder
// itself when nothing else is left in it (rmdir removes only an empty one).
void tidy(const QString &folder)
{
    bool journalsLeft = false;
    for (const QString &name : namesIn(folder))
        journalsLeft = journalsLeft || isJournalName(name);
    if (journalsLeft)
        return;
    removeOwnFile(QDir(folder).filePath(kToldName));
    ::rmdir(QFile::encodeName(folder).constData());
}

// Makes a folder readable by its owner only; an existing one of this user
// is made so too (older versions made them readable by all). False for a
// link or a folder of another user in its place.
bool makePrivateFolder(const QString &path)
{
    if (::mkdir(QFile::encodeName(path).constData(), 0700) == 0)
        return true;
    if (errno != EEXIST || !isOwnFolder(path))
        return false;
    return ::chmod(QFile::encodeName(path).constData(), 0700) == 0;
}

QByteArray line(const char *key, const QString &value)
{
    return QByteArray(key) + '=' + QUrl::toPercentEncoding(value) + '\n';
}

template <typename E>
QString nameOf(E value)
{
    return QString::fromLatin1(QMetaEnum::fromType<E>().valueToKey(int(value)));
}

// The value of a name; entries of the first version stored numbers.
template <typename E>
bool valueOf(const QString &text, E *value)
{
    const QMetaEnum meta = QMetaEnum::fromType<E>();
    bool ok = false;
    int v = text.toInt(&ok);
    if (!ok)
        v = meta.keyToValue(text.toLatin1().constData(), &ok);
    if (!ok || !meta.valueToKey(v))
        return false;
    *value = E(v);
    return true;
}

// Where the text starts, or -1 when the header has not ended.
qsizetype headerEnd(const QByteArray &bytes)
{
    const qsizetype end = bytes.indexOf("\n\n", kMagic.size() - 1);
    return end < 0 ? -1 : end + 2;
}

} // namespace

QByteArray serialize(const Entry &entry)
{
    QByteArray out = kMagic;
    out += line("title", entry.title);
    out += line("path", entry.path);
    out += line("format", nameOf(entry.format.encoding) + u' ' + nameOf(entry.format.lineEnd) + u' '
                              + nameOf(entry.format.finalBreak));
    if (!entry.format.codec.isEmpty())
        out += line("codec", QString::fromLatin1(entry.format.codec));
    out += line("time", entry.time.toString(Qt::ISODateWithMs));
    out += line("stamp", QStringLiteral("%1 %2 %3 %4")
                             .arg(int(entry.stamp.exists))
                             .arg(entry.stamp.size)
                             .arg(entry.stamp.modifiedNs)
                             .arg(entry.stamp.inode));
    out += line("size", QString::number(entry.text.isEmpty() ? entry.textSize : entry.text.size()));
    out += '\n';
    out += entry.text;
    return out;
}

bool parse(const QByteArray &bytes, Entry *entry, bool headerOnly)
{
    if (!bytes.startsWith(kMagic))
        return false;
    const qsizetype body = headerEnd(bytes);
    if (body < 0)
        return false;
    bool sized = false;
    bool formatted = false;
    QByteArray codec;
    for (const QByteArray &l : bytes.mid(kMagic.size(), body - kMagic.size()).split('\n')) {
        const qsizetype eq = l.indexOf('=');
        if (eq < 0)
            continue;
        const QString value = QUrl::fromPercentEncoding(l.mid(eq + 1));
        const QByteArray key = l.left(eq);
        if (key == "title") {
            entry->title = value;
        } else if (key == "path") {
            entry->path = value;
        } else if (key == "time") {
            entry->time = QDateTime::fromString(value, Qt::ISODateWithMs);
        } else if (key == "size") {
            entry->textSize = value.toLongLong(&sized);
            sized = sized && entry->textSize >= 0;
        } else if (key == "stamp") {
            const QStringList f = value.split(u' ');
            if (f.size() == 4)
                entry->stamp = {f[0] == QLatin1String("1"), f[1].toLongLong(), f[2].toLongLong(), f[3].toULongLong()};
        } else if (key == "format") {
            // A format this version does not know (a newer one wrote it) is
            // no entry it can restore: writing it back in another encoding
            // would change the file.
            const QStringList f = value.split(u' ');
            TextFileCodec::FileFormat format;
            if (f.size() != 3 || !valueOf(f[0], &format.encoding) || !valueOf(f[1], &format.lineEnd)
                || !valueOf(f[2], &format.finalBreak))
                return false;
            entry->format = format;
            formatted = true;
        } else if (key == "codec") {
            codec = value.toLatin1();
        }
    }
    // A legacy encoding is nothing without its name.
    entry->format.codec = codec;
    if (!sized || !formatted || (entry->format.encoding == TextFileCodec::Encoding::Legacy) == codec.isEmpty())
        return false;
    if (headerOnly)
        return true;
    entry->text = bytes.mid(body);
    // A journal cut short by the end of its process is no journal.
    return entry->textSize == entry->text.size();
}

Folder::Folder(const QString &root)
{
    const QString parent = QFileInfo(root).absolutePath();
    if (!QDir().mkpath(parent) || !makePrivateFolder(root))
        return;
    const QString path = QDir(root).filePath(QStringLiteral("%1-%2").arg(QCoreApplication::applicationPid())
                                                 .arg(QDateTime::currentMSecsSinceEpoch()));
    if (::mkdir(QFile::encodeName(path).constData(), 0700) != 0)
        return;
    m_path = path;
    m_lock = std::make_unique<QLockFile>(QDir(m_path).filePath(kLockName));
    m_lock->setStaleLockTime(0); // held for the whole run: only a dead owner makes it stale
    if (m_lock->tryLock(0)) // private like the journals beside it
        QFile::setPermissions(QDir(m_path).filePath(kLockName), QFileDevice::ReadOwner | QFileDevice::WriteOwner);
}

Folder::~Folder() = default;

QString Folder::entryPath(int slot) const
{
    return QDir(m_path).filePath(QStringLiteral("%1.journal").arg(slot));
}

FileIO::Failure Folder::write(int slot, const Entry &entry, std::function<bool(QByteArray *)> more) const
{
    FileIO::WriteOptions options;
    options.more = std::move(more);
    options.ownerOnly = true;
    options.noFollow = true;
    return FileIO::writeWholeFile(entryPath(slot), serialize(entry), options);
}

void Folder::removeEntry(int slot) const
{
    removeOwnFile(entryPath(slot));
}

void Folder::removeAll()
{
    if (m_path.isEmpty())
        return;
    for (const QString &name : namesIn(m_path))
        removeOwnFile(QDir(m_path).filePath(name));
    if (m_lock)
        m_lock->unlock();
    tidy(m_path);
}

QList<Orphan> orphans(const QString &root)
{
    QList<Orphan> found;
    if (!isOwnFolder(root))
        return found;
    for (const QString &name : namesIn(root)) {
        const QString folder = QDir(root).filePath(name);
        if (!isFolderName(name) || !isOwnFolder(folder))
            continue; // not a folder this program made: left alone
        auto lock = std::make_shared<QLockFile>(QDir(folder).filePath(kLockName));
        lock->setStaleLockTime(0);
        if (!lock->tryLock(0))
            continue; // its process is still running
        Orphan orphan{folder, {}, {}, lock};
        const QStringList names = namesIn(folder);
        for (const QString &file : names) {
            if (isTemporaryName(file))
                removeOwnFile(QDir(folder).filePath(file)); // cut short by the end of its process
            if (!isJournalName(file))
                continue;
            Entry e;
            e.file = QDir(folder).filePath(file);
            QByteArray head;
            struct stat st {};
            if (const FileIO::Failure failure = FileIO::readFileStart(e.file, kMaxHeader, &head, true)) {
                orphan.unreadable << Unreadable{e.file, failure.description};
            } else if (!parse(head, &e, true) || !lstatOf(e.file, &st) || st.st_size != headerEnd(head) + e.textSize) {
                orphan.unreadable << Unreadable{e.file, QStringLiteral("written by another version, or cut short")};
            } else if (const FileIO::Failure tooBig = FileIO::checkTextSize(e.textSize)) {
                orphan.unreadable << Unreadable{e.file, tooBig.description};
            } else {
                orphan.entries << e;
            }
        }
        if (orphan.entries.isEmpty() && (orphan.unreadable.isEmpty() || names.contains(kToldName))) {
            release(orphan); // nothing (more) to offer
            continue;
        }
        found << orphan;
    }
    return found;
}

FileIO::Failure load(Entry *entry)
{
    QByteArray bytes;
    if (const FileIO::Failure failure = FileIO::readWholeFile(entry->file, &bytes, {}, true))
        return failure;
    if (!parse(bytes, entry))
        return {FileIO::PathFileAccessError, QStringLiteral("The journal %1 is damaged or cut short").arg(entry->file)};
    return {};
}

void removeEntry(const Entry &entry)
{
    removeOwnFile(entry.file);
}

void told(const Orphan &orphan)
{
    if (orphan.unreadable.isEmpty())
        return;
    FileIO::WriteOptions options;
    options.ownerOnly = true;
    options.noFollow = true;
    FileIO::writeWholeFile(QDir(orphan.folder).filePath(kToldName), QByteArray(), options);
}

void release(const Orphan &orphan)
{
    orphan.lock->unlock();
    tidy(orphan.folder);
}

} // namespace Journal

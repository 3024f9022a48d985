#include "core/Journal.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QUrl>

namespace Journal {

namespace {

const QByteArray kMagic = "Orvane journal 1\n";
const QString kLockName = QStringLiteral("lock");

QByteArray line(const char *key, const QString &value)
{
    return QByteArray(key) + '=' + QUrl::toPercentEncoding(value) + '\n';
}

} // namespace

QByteArray serialize(const Entry &entry)
{
    QByteArray out = kMagic;
    out += line("title", entry.title);
    out += line("path", entry.path);
    out += line("format", QStringLiteral("%1 %2 %3")
                              .arg(int(entry.format.encoding))
                              .arg(int(entry.format.lineEnd))
                              .arg(int(entry.format.finalBreak)));
    out += line("time", entry.time.toString(Qt::ISODateWithMs));
    out += line("stamp", QStringLiteral("%1 %2 %3 %4")
                             .arg(int(entry.stamp.exists))
                             .arg(entry.stamp.size)
                             .arg(entry.stamp.modifiedNs)
                             .arg(entry.stamp.inode));
    out += line("size", QString::number(entry.text.size()));
    out += '\n';
    out += entry.text;
    return out;
}

bool parse(const QByteArray &bytes, Entry *entry)
{
    if (!bytes.startsWith(kMagic))
        return false;
    const qsizetype body = bytes.indexOf("\n\n", kMagic.size() - 1);
    if (body < 0)
        return false;
    qsizetype size = -1;
    for (const QByteArray &l : bytes.mid(kMagic.size(), body - kMagic.size() + 1).split('\n')) {
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
            size = value.toLongLong();
        } else if (key == "stamp") {
            const QStringList f = value.split(u' ');
            if (f.size() == 4)
                entry->stamp = {f[0] == QLatin1String("1"), f[1].toLongLong(), f[2].toLongLong(), f[3].toULongLong()};
        } else if (key == "format") {
            const QStringList f = value.split(u' ');
            if (f.size() != 3)
                return false;
            entry->format = {TextFileCodec::Encoding(qBound(0, f[0].toInt(), 2)), TextFileCodec::LineEnd(qBound(0, f[1].toInt(), 2)),
                             TextFileCodec::LineEnd(qBound(0, f[2].toInt(), 2))};
        }
    }
    entry->text = bytes.mid(body + 2);
    // A journal cut short by the end of its process is no journal.
    return size == entry->text.size();
}

Folder::Folder(const QString &root)
{
    m_path = QDir(root).filePath(QStringLiteral("%1-%2").arg(QCoreApplication::applicationPid())
                                     .arg(QDateTime::currentMSecsSinceEpoch()));
    if (!QDir().mkpath(m_path))
        return;
    m_lock = std::make_unique<QLockFile>(QDir(m_path).filePath(kLockName));
    m_lock->setStaleLockTime(0); // held for the whole run: only a dead owner makes it stale
    m_lock->tryLock(0);
}

Folder::~Folder() = default;

QString Folder::entryPath(int slot) const
{
    return QDir(m_path).filePath(QStringLiteral("%1.journal").arg(slot));
}

void Folder::removeAll()
{
    if (m_lock)
        m_lock->unlock();
    QDir(m_path).removeRecursively();
}

QList<Orphan> orphans(const QString &root)
{
    QList<Orphan> found;
    for (const QString &name : QDir(root).entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name)) {
        const QString folder = QDir(root).filePath(name);
        auto lock = std::make_shared<QLockFile>(QDir(folder).filePath(kLockName));
        lock->setStaleLockTime(0);
        if (!lock->tryLock(0))
            continue; // its process is still running
        Orphan orphan{folder, {}, lock};
        for (const QString &file : QDir(folder).entryList({QStringLiteral("*.journal")}, QDir::Files, QDir::Name)) {
            QFile f(QDir(folder).filePath(file));
            Entry e;
            if (f.open(QIODevice::ReadOnly) && parse(f.readAll(), &e))
                orphan.entries << e;
        }
        if (orphan.entries.isEmpty()) {
            lock->unlock();
            QDir(folder).removeRecursively(); // nothing to recover: tidy up
            continue;
        }
        found << orphan;
    }
    return found;
}

void remove(const Orphan &orphan)
{
    orphan.lock->unlock();
    QDir(orphan.folder).removeRecursively();
}

} // namespace Journal

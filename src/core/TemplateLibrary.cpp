#include "core/TemplateLibrary.h"

#include "core/FileIO.h"
#include "core/TextFileCodec.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <cstring>
#include <sys/stat.h>

namespace TemplateLibrary {

const QString kPatterns = QStringLiteral("*.ORV;*.TET; *.tep");

QStringList patterns(const QString &list)
{
    QStringList out;
    for (const QString &p : list.split(QLatin1Char(';'))) {
        if (!p.trimmed().isEmpty())
            out << p.trimmed();
    }
    return out;
}

QStringList list(const QString &dir)
{
    QDir d(dir);
    d.setNameFilters(patterns(kPatterns));
    d.setFilter(QDir::Files | QDir::Hidden);
    d.setSorting(QDir::Name | QDir::IgnoreCase);
    return d.entryList();
}

QString preview(const QString &path)
{
    // A preview needs at most 70 characters: read no more than they can take.
    constexpr qint64 kEnough = 70 * 4;
    QByteArray bytes;
    if (FileIO::readFileStart(path, kEnough + 1, &bytes))
        return QString();
    if (bytes.size() > kEnough) {
        // Cut at kEnough, back to the start of a UTF-8 sequence.
        qsizetype cut = kEnough;
        while (cut > kEnough - 4 && (static_cast<unsigned char>(bytes.at(cut)) & 0xC0) == 0x80)
            --cut;
        bytes.truncate(cut);
    }
    const QString text = TextFileCodec::toQString(TextFileCodec::decode(bytes, false).text);
    qsizetype units = 0;
    for (int chars = 0; chars < 70 && units < text.size(); ++chars)
        units += text.at(units).isHighSurrogate() && units + 1 < text.size() ? 2 : 1;
    return text.left(units);
}

QString installedName(const QString &entry)
{
    return entry.mid(entry.lastIndexOf(QLatin1Char('/')) + 1).replace(QLatin1Char(' '), QLatin1Char('_'));
}

QStringList install(const QStringList &entries, const QString &dir,
                    const std::function<bool(const QString &entry, const QString &installed)> &mayReplace)
{
    QStringList failures;
    for (const QString &entry : entries) {
        const QString name = installedName(entry);
        if (name.isEmpty()) {
            failures << entry + QStringLiteral(": no file named");
            continue;
        }
        const QString target = QDir(dir).filePath(name);
        const QFileInfo source(entry);
        if (source.isFile() && QFileInfo::exists(target) && source.canonicalFilePath() == QFileInfo(target).canonicalFilePath())
            continue; // already installed: copying it onto itself would only risk it
        QByteArray bytes;
        FileIO::Failure failure = FileIO::readWholeFile(entry, &bytes);
        if (!failure && QFileInfo::exists(target)) {
            QByteArray installed;
            if ((FileIO::readWholeFile(target, &installed) || installed != bytes) && !mayReplace(entry, target))
                continue;
        }
        if (!failure)
            failure = FileIO::writeWholeFile(target, bytes);
        if (failure)
            failures << entry + QStringLiteral(": ") + failure.description;
    }
    return failures;
}

QString installedFolder()
{
    return QDir::cleanPath(QCoreApplication::applicationDirPath() + QStringLiteral("/" ORVANE_INSTALLED_TEMPLATES));
}

QString prepareDirectory(const QString &dir, const QString &installed)
{
    if (QFileInfo(dir).isDir())
        return QString();
    if (::mkdir(QFile::encodeName(dir).constData(), 0777) != 0)
        return QString::fromLocal8Bit(std::strerror(errno));
    // An installed folder (a packager's or an administrator's choice) wins
    // over the templates built into the program.
    const QDir source(QFileInfo(installed).isDir() ? installed : QStringLiteral(":/templates"));
    for (const QString &name : source.entryList(QDir::Files))
        QFile::copy(source.filePath(name), QDir(dir).filePath(name));
    for (const QString &name : QDir(dir).entryList(QDir::Files))
        QFile::setPermissions(QDir(dir).filePath(name), QFileDevice::ReadOwner | QFileDevice::WriteOwner
                                                            | QFileDevice::ReadGroup | QFileDevice::ReadOther);
    return QString();
}

} // namespace TemplateLibrary

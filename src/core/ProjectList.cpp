#include "core/ProjectList.h"

#include "core/FileIO.h"
#include "core/TextFileCodec.h"

#include <QFileInfo>

const QString ProjectList::kHeader = QStringLiteral("Orvane:1.0");
const QString ProjectList::kSaved = QStringLiteral("Project Saved Successfully!");

void cFiles::setIsActive(bool active)
{
    m_active = active;
    if (!active)
        m_fileName.clear();
}

void cFiles::setFileName(const QString &path)
{
    if (ProjectList::exists(path))
        m_fileName = path;
}

QString cFiles::FileTitle() const
{
    return m_fileName.mid(m_fileName.lastIndexOf(QLatin1Char('/')) + 1);
}

QString cFiles::FileDirectory() const
{
    return m_fileName.left(m_fileName.lastIndexOf(QLatin1Char('/')) + 1);
}

bool ProjectList::exists(const QString &path)
{
    return !path.isEmpty() && QFileInfo(path).isFile();
}

bool ProjectList::canBeStored(const QString &path)
{
    return !path.contains(u'\r') && !path.contains(u'\n');
}

bool ProjectList::AddFileToProject(const QString &named)
{
    // The project file is read again from any folder: the full path is kept.
    const QString path = FileIO::absolutePath(named);
    if (!canBeStored(path) || !exists(path))
        return false;
    for (cFiles &e : m_entries) {
        if (!e.IsActive()) {
            e.setFileName(path);
            e.setIsActive(true);
            return true;
        }
    }
    if (count() >= kMaxEntries)
        return false;
    cFiles e;
    e.setFileName(path);
    e.setIsActive(true);
    m_entries.push_back(e);
    return true;
}

void ProjectList::RemoveFileFromProject(int position)
{
    if (position >= 1 && position <= count())
        m_entries.erase(m_entries.begin() + (position - 1));
}

QStringList ProjectList::parse(const QByteArray &bytes)
{
    const QString text = QString::fromUtf8(TextFileCodec::decode(bytes, false).text);
    QStringList paths;
    for (const QString &line : text.split(QStringLiteral("\r\n"))) {
        // A mixed file keeps its lone CR and LF in the text: they end lines too.
        for (const QString &part : QString(line).replace(u'\r', u'\n').split(u'\n')) {
            if (part.left(5).toUpper() != QLatin1String("FILE:"))
                continue;
            // Blanks around the path go; tabs stay. A name that itself ends
            // in a blank is written after one blank, as every entry is, and
            // is taken whole when only the whole form names a file.
            qsizetype from = 5, to = part.size();
            while (from < to && part.at(from) == u' ')
                ++from;
            while (to > from && part.at(to - 1) == u' ')
                --to;
            const QString trimmed = part.mid(from, to - from);
            const QString whole = part.mid(part.size() > 5 && part.at(5) == u' ' ? 6 : 5);
            if (whole != trimmed && !exists(trimmed) && exists(whole))
                paths << whole;
            else if (!trimmed.isEmpty())
                paths << trimmed;
        }
    }
    return paths;
}

QString ProjectList::ReadProjectFile(const QString &path, QString *error)
{
    QByteArray bytes;
    if (const FileIO::Failure failure = FileIO::readWholeFile(path, &bytes)) {
        *error = failure.description;
        return QString();
    }
    error->clear();
    m_entries.clear();
    QString report;
    for (const QString &file : parse(bytes)) {
        if (!exists(file)) {
            report += file + QStringLiteral(" Couldn't be found. \r\n");
        } else if (AddFileToProject(file)) {
            report += file + QStringLiteral(" Loaded Successfully.\r\n");
        } else {
            report += file + QStringLiteral(" Couldn't be added: the project holds %1 files, the most it can hold.\r\n")
                                 .arg(kMaxEntries);
        }
    }
    return report;
}

QByteArray ProjectList::serialize() const
{
    QByteArray out = kHeader.toUtf8() + "\r\n";
    for (const cFiles &e : m_entries)
        out += "File: " + e.FileName().toUtf8() + "\r\n";
    return out;
}

QString ProjectList::WriteProjectFile(const QString &path) const
{
    const FileIO::Failure failure = FileIO::writeWholeFile(path, serialize());
    return failure ? failure.description : QString();
}

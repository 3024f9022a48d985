#pragma once

#include <QString>
#include <QStringList>
#include <vector>

// One file of a project.
class cFiles
{
public:
    bool IsActive() const { return m_active; }
    // Setting it false also forgets the file name.
    void setIsActive(bool active);
    QString FileName() const { return m_fileName; }
    // Taken only when a regular file of exactly that path exists.
    void setFileName(const QString &path);
    // The name after the last "/", and the folder up to and including it.
    QString FileTitle() const;
    QString FileDirectory() const;

private:
    QString m_fileName;
    bool m_active = false;
};

// The project list of the program: an ordered list of file entries,
// positions 1 to count, and the project files (TEP) that store it.
//
// A TEP file is the header line "Orvane:1.0" and one "File: <path>" line per
// entry, each ending in CR LF, paths as UTF-8. Reading takes lines ending in
// CR LF, LF or CR, and a file that is not valid UTF-8 as Windows-1252.
class ProjectList
{
public:
    static constexpr int kMaxEntries = 32767;
    static const QString kHeader;
    static const QString kSaved;

    // A regular file of exactly this path exists (no wildcards; a dot
    // file counts, a folder does not).
    static bool exists(const QString &path);

    int count() const { return int(m_entries.size()); }
    const cFiles &entry(int position) const { return m_entries[size_t(position - 1)]; }

    // Whether a project file can hold the path: one line per entry leaves no
    // room for a line break in a name.
    static bool canBeStored(const QString &path);

    // Adds an existing file by its absolute path (the first inactive entry
    // is reused). Returns false when nothing was added: the file does not
    // exist, its name cannot be stored, or the list is full.
    bool AddFileToProject(const QString &path);
    void RemoveFileFromProject(int position);
    void clear() { m_entries.clear(); }

    // Replaces the list with the files a project names; returns the report
    // (one line per path: loaded, or not found), or sets *error and leaves
    // the list as it was when the project file cannot be read.
    QString ReadProjectFile(const QString &path, QString *error);
    // Writes the project file atomically; "" or the failure's description.
    QString WriteProjectFile(const QString &path) const;

    // The project file's bytes, and the paths a project file's bytes name.
    QByteArray serialize() const;
    static QStringList parse(const QByteArray &bytes);

private:
    std::vector<cFiles> m_entries;
};

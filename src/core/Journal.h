#pragma once

#include "core/FileIO.h"
#include "core/TextFileCodec.h"

#include <QDateTime>
#include <QList>
#include <QLockFile>
#include <QString>
#include <memory>

// Crash recovery: while a document has unsaved changes, its text, path,
// title and file format are kept in a journal file, one per document, in a
// folder of the running process under <data>/recovery/. The folder holds a
// lock for as long as its process runs, so two running copies never take
// each other's journals; a folder whose lock can be taken belongs to a
// process that ended without cleaning up, and its journals can be recovered.
namespace Journal {

struct Entry {
    QString title;
    QString path; // "" for a document without a file
    TextFileCodec::FileFormat format;
    QDateTime time;
    QByteArray text; // UTF-8, breaks as CR LF
    FileIO::Stamp stamp; // the file as the document last read or wrote it
};

QByteArray serialize(const Entry &entry);
// False for bytes that are no journal entry (a cut or foreign file).
bool parse(const QByteArray &bytes, Entry *entry);

// The journal folder of this process, made and locked on construction.
class Folder
{
public:
    explicit Folder(const QString &root);
    ~Folder();
    bool isValid() const { return m_lock && m_lock->isLocked(); }
    QString path() const { return m_path; }
    QString entryPath(int slot) const;
    // Removes the folder and everything in it (a clean exit).
    void removeAll();

private:
    QString m_path;
    std::unique_ptr<QLockFile> m_lock;
};

// The journals of a process that ended without cleaning up, locked while
// this object lives so that no other copy takes them at the same time.
struct Orphan {
    QString folder;
    QList<Entry> entries;
    std::shared_ptr<QLockFile> lock;
};

// Every folder under root whose lock could be taken (its process is gone)
// and that holds at least one readable entry.
QList<Orphan> orphans(const QString &root);
// Removes an orphan's folder (after Recover or Discard).
void remove(const Orphan &orphan);

} // namespace Journal

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
//
// Journals hold unsaved text: folders are made owner-only (0700), journals
// owner-only (0600), and nothing is read or written through a link. Only
// files of the names this program gives (the lock, "N.journal") are ever
// removed, and only from folders of the name it gives; anything else found
// there is left alone.
namespace Journal {

struct Entry {
    QString title;
    QString path; // "" for a document without a file
    TextFileCodec::FileFormat format;
    QDateTime time;
    QByteArray text; // UTF-8, breaks as CR LF
    FileIO::Stamp stamp; // the file as the document last read or wrote it
    qint64 textSize = 0; // the text's size, known before the text is read
    QString file; // the journal it was read from
};

QByteArray serialize(const Entry &entry);
// False for bytes that are no journal entry (a cut or foreign file, or one
// written by a newer version). With headerOnly the bytes may stop after the
// header, and the text is not taken.
bool parse(const QByteArray &bytes, Entry *entry, bool headerOnly = false);

// The journal folder of this process, made and locked on construction.
class Folder
{
public:
    explicit Folder(const QString &root);
    ~Folder();
    bool isValid() const { return m_lock && m_lock->isLocked(); }
    QString path() const { return m_path; }
    QString entryPath(int slot) const;
    // Writes a document's journal; the failure says why it could not be.
    // With more, the text (entry.textSize bytes) comes in pieces from it
    // (see FileIO::WriteOptions) and entry.text is empty.
    FileIO::Failure write(int slot, const Entry &entry, std::function<bool(QByteArray *)> more = {}) const;
    void removeEntry(int slot) const;
    // Removes the journals and the folder (a clean exit).
    void removeAll();

private:
    QString m_path;
    std::unique_ptr<QLockFile> m_lock;
};

// A journal that could not be read; it is kept for a version that can.
struct Unreadable {
    QString file;
    QString why;
};

// The journals of a process that ended without cleaning up, locked while
// this object lives so that no other copy takes them at the same time.
// Entries hold their header only; load() reads the text.
struct Orphan {
    QString folder;
    QList<Entry> entries;
    QList<Unreadable> unreadable;
    std::shared_ptr<QLockFile> lock;
};

// Every folder under root whose lock could be taken (its process is gone)
// and that holds a journal: readable ones, or unreadable ones not yet told
// of (see told()).
QList<Orphan> orphans(const QString &root);
// Reads an entry's text; the failure says why it could not be.
FileIO::Failure load(Entry *entry);
// Removes one recovered or discarded journal.
void removeEntry(const Entry &entry);
// The user has been told of the orphan's unreadable journals: they are kept
// but not offered again.
void told(const Orphan &orphan);
// Lets the orphan go: its lock, and its folder when nothing is left in it.
void release(const Orphan &orphan);

} // namespace Journal

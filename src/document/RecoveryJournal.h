#pragma once

#include "core/Journal.h"

#include <QHash>
#include <QObject>
#include <QThreadPool>
#include <memory>

class DocumentManager;
class QTimer;

// Keeps the journal of every document with unsaved changes, written a few
// seconds after the last change (never per key) on a worker thread, so that
// typing never waits for the disk. A save, a No to the save prompt, or a
// clean exit removes the entry. A write that fails is told to the document's
// window (once, until a write succeeds again) and tried again on the next
// change. A text bigger than a slice is never copied whole: the writer takes
// it a slice at a time, each copied on the user-interface thread when the
// one before is on disk, so memory stays the text and one slice; a change
// meanwhile gives that write up (the old journal stays) for the next one.
class RecoveryJournal : public QObject
{
    Q_OBJECT

public:
    // Writes a document's journal delayMs after its last change.
    RecoveryJournal(DocumentManager &docs, const QString &root, int delayMs, QObject *parent = nullptr);
    ~RecoveryJournal() override;

    void changed(int slot);  // the text changed: write it soon
    // Hands the document's journal to the writer now (what the timer does).
    void write(int slot);
    void clean(int slot);    // saved or given up: nothing to recover
    void finish();           // a clean exit: the whole folder goes
    // Waits until every write handed to the worker has reached the disk.
    void waitForWrites();
    void setSliceBytes(qsizetype bytes) { m_slice = bytes; }
    static constexpr qsizetype kSliceBytes = 4 << 20;

signals:
    // The slot's unsaved changes could not be backed up (why), or can again
    // (why is empty).
    void backupFailed(int slot, const QString &why);

private:
    struct Feed; // a slice between this thread and the writer
    struct Sliced {
        std::shared_ptr<Feed> feed;
        qint64 pos = 0, size = 0;
        quint64 generation = 0;
    };
    void written(int slot, const FileIO::Failure &failure);
    // Copies the next slice of the slot's text for the writer, once it took
    // the last; gives the write up when the text changed.
    void feedNext(int slot);
    void giveUp(int slot);

    DocumentManager &m_docs;
    QString m_root;
    Journal::Folder m_folder;
    int m_delayMs;
    QHash<int, QTimer *> m_timers;
    QThreadPool m_writer; // one thread: the entries of a slot reach the disk in order
    QHash<int, bool> m_failing; // slots whose last write failed
    QHash<int, quint64> m_generation; // changes seen, per slot
    QHash<int, Sliced> m_sliced;      // writes under way a slice at a time
    qsizetype m_slice = kSliceBytes;
};

#pragma once

#include "core/FileIO.h"
#include "core/TextFileCodec.h"

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QString>

// One open document's state, kept apart from its window, with one owner:
// it changes only through the operations below, each of which says so with
// a signal, so that windows, the journal and the status bar follow it
// instead of writing it themselves. Undo texts are stored as UTF-8 bytes:
// the smallest form that restores the exact text.
class DocumentRecord : public QObject
{
    Q_OBJECT

public:
    QString FilePath() const { return m_filePath; }
    bool Changed() const { return m_changed; }
    bool InUse() const { return m_inUse; }
    QString Title() const { return m_title; }
    QByteArray UndoLevel1() const { return m_undo[1]; }
    QByteArray UndoLevel2() const { return m_undo[2]; }
    QByteArray UndoLevel3() const { return m_undo[3]; }
    QByteArray UndoSnapshot() const { return m_undo[0]; }
    bool canUndo() const { return !m_undo[0].isEmpty(); }
    bool canRedo() const { return !m_redo.isEmpty(); }
    // How the file is written back.
    TextFileCodec::FileFormat Format() const { return m_format; }
    // The file as it was last read or written, and the other program's
    // version last told of.
    FileIO::Stamp DiskStamp() const { return m_diskStamp; }
    FileIO::Stamp NoticedStamp() const { return m_noticedStamp; }
    // The whole text, when the window shows lines too long to lay out cut
    // (and is read-only): saves write this, not what is shown. Null otherwise.
    const QByteArray &HeldText() const { return m_heldText; }
    // Tells this document from the ones that had the slot before it.
    quint64 Serial() const { return m_serial; }
    // Its file is being read, or its text put into the window: nothing may
    // change, save or print it until that is over.
    bool Loading() const { return m_loading; }

    // A new document takes the slot: in use, "Untitled", no file, clean,
    // no undo, the default format.
    void take(quint64 serial);
    // The document closed: the slot is free, with no file and no title.
    void release();
    void setFilePath(const QString &path);
    void setTitle(const QString &title);
    void setChanged(bool changed);
    void setFormat(const TextFileCodec::FileFormat &format);
    // The file as this document read or wrote it: also what it has told of.
    void setDiskStamp(const FileIO::Stamp &stamp);
    // Another program's version that the user has been told of.
    void notice(const FileIO::Stamp &stamp) { m_noticedStamp = stamp; }
    void holdText(QByteArray text) { m_heldText = std::move(text); }
    void setLoading(bool loading);

    // The four-level undo store: the snapshot and three older levels.
    void ResetUndoFields();
    void PushUndo();
    void PopUndo();
    // A new snapshot (an equal one is no step); an older one moves down.
    void RecordUndo(const QByteArray &text);
    QByteArray TakeUndo();
    // Undo returns the newest snapshot and keeps current for Redo; Redo
    // returns the text the last Undo replaced and makes current the newest
    // snapshot again. Both return a null array when there is nothing to do.
    QByteArray Undo(const QByteArray &current);
    QByteArray Redo(const QByteArray &current);
    // An edit ends what can be redone.
    void ClearRedo();

signals:
    void changed(bool changed);
    void pathChanged(const QString &path);
    void titleChanged(const QString &title);
    void formatChanged();
    void undoChanged(); // what Undo and Redo can do
    void inUseChanged(bool inUse);
    void loadingChanged(bool loading);

private:
    QString m_filePath;
    bool m_changed = false;
    bool m_inUse = false;
    QString m_title;
    QByteArray m_undo[4]; // the snapshot, then UndoLevel1 to 3
    QList<QByteArray> m_redo; // what Undo took back, the newest last
    TextFileCodec::FileFormat m_format;
    FileIO::Stamp m_diskStamp;
    FileIO::Stamp m_noticedStamp;
    QByteArray m_heldText;
    quint64 m_serial = 0;
    bool m_loading = false;
};

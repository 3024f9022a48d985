#pragma once

#include "core/FileIO.h"
#include "core/TextFileCodec.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <vector>

// One open document's state, kept apart from its window. Undo texts are
// stored as UTF-8 bytes: the smallest form that restores the exact text.
struct DocumentRecord {
    QString FilePath;
    bool Changed = false;
    bool InUse = false;
    QString Title;
    QByteArray UndoLevel1;
    QByteArray UndoLevel2;
    QByteArray UndoLevel3;
    QByteArray UndoSnapshot;
    QList<QByteArray> RedoLevels; // what Undo took back, the newest last
    TextFileCodec::FileFormat Format; // how the file is written back
    FileIO::Stamp DiskStamp;          // the file as it was last read or written
    FileIO::Stamp NoticedStamp;       // the other program's version last told of
    // The whole text, when the window shows lines too long to lay out cut
    // (and is read-only): saves write this, not what is shown.
    QByteArray HeldText;
    // Tells this document from the ones that had the slot before it.
    quint64 Serial = 0;
};

// The table of document slots, numbered from 1. Slots are never removed: a
// closed document's slot is marked free and the lowest free one is reused.
class DocumentTable
{
public:
    static constexpr int MaxDocuments = 32767;

    int DocumentCount() const { return int(m_records.size()) - 1; }

    // Lowest slot not in use, or 0 when every slot is taken.
    int FindFreeSlot() const;

    // Chooses the slot for a new document: the lowest free one, or a new one
    // at the end (then *grew is set), and gives it a serial number no
    // document had before. Returns 0, changing nothing, when the table is full.
    int TakeSlot(bool *grew);

    bool isValidSlot(int slot) const { return slot >= 1 && slot <= DocumentCount(); }
    DocumentRecord &record(int slot) { return m_records[size_t(slot)]; }
    const DocumentRecord &record(int slot) const { return m_records[size_t(slot)]; }

    // The four-level undo store of one document.
    void ResetUndoFields(int slot);
    void PushUndo(int slot);
    void PopUndo(int slot);
    void RecordUndo(int slot, const QByteArray &text);
    QByteArray TakeUndo(int slot);

    // Undo and Redo of the Edit menu, given the current text: Undo returns
    // the newest snapshot and keeps current for Redo; Redo returns the text
    // the last Undo replaced and makes current the newest snapshot again.
    // Both return a null array when there is nothing to do. An edit ends
    // what can be redone (ClearRedo).
    QByteArray Undo(int slot, const QByteArray &current);
    QByteArray Redo(int slot, const QByteArray &current);
    void ClearRedo(int slot) { record(slot).RedoLevels.clear(); }

private:
    quint64 m_serials = 0;
    std::vector<DocumentRecord> m_records = std::vector<DocumentRecord>(1); // index 0 unused
};

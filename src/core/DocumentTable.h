#pragma once

#include "core/DocumentRecord.h"

#include <memory>
#include <vector>

// The table of document slots, numbered from 1. Slots are never removed: a
// closed document's slot is marked free and the lowest free one is reused.
class DocumentTable
{
public:
    static constexpr int MaxDocuments = 32767;

    int DocumentCount() const { return int(m_records.size()) - 1; }

    // Lowest slot not in use, or 0 when every slot is taken.
    int FindFreeSlot() const;

    // Takes the slot for a new document: the lowest free one, or a new one
    // at the end (then *grew is set); its record is taken afresh, with a
    // serial number no document had before. Returns 0, changing nothing,
    // when the table is full.
    int TakeSlot(bool *grew);

    bool isValidSlot(int slot) const { return slot >= 1 && slot <= DocumentCount(); }
    DocumentRecord &record(int slot) { return *m_records[size_t(slot)]; }
    const DocumentRecord &record(int slot) const { return *m_records[size_t(slot)]; }

    // The four-level undo store of one document (see DocumentRecord).
    void ResetUndoFields(int slot) { record(slot).ResetUndoFields(); }
    void PushUndo(int slot) { record(slot).PushUndo(); }
    void PopUndo(int slot) { record(slot).PopUndo(); }
    void RecordUndo(int slot, const QByteArray &text) { record(slot).RecordUndo(text); }
    QByteArray TakeUndo(int slot) { return record(slot).TakeUndo(); }

private:
    quint64 m_serials = 0;
    std::vector<std::unique_ptr<DocumentRecord>> m_records = [] {
        std::vector<std::unique_ptr<DocumentRecord>> v;
        v.push_back(std::make_unique<DocumentRecord>()); // index 0 unused
        return v;
    }();
};

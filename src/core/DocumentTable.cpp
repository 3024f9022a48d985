#include "core/DocumentTable.h"

int DocumentTable::FindFreeSlot() const
{
    for (int slot = 1; slot <= DocumentCount(); ++slot) {
        if (!m_records[size_t(slot)].InUse)
            return slot;
    }
    return 0;
}

int DocumentTable::TakeSlot(bool *grew)
{
    *grew = false;
    int slot = FindFreeSlot();
    if (slot == 0) {
        if (DocumentCount() >= MaxDocuments)
            return 0;
        m_records.emplace_back();
        *grew = true;
        slot = DocumentCount();
    }
    record(slot).Serial = ++m_serials;
    return slot;
}

void DocumentTable::ResetUndoFields(int slot)
{
    DocumentRecord &r = record(slot);
    r.UndoSnapshot.clear();
    r.UndoLevel1.clear();
    r.UndoLevel2.clear();
    r.UndoLevel3.clear();
    r.RedoLevels.clear();
}

void DocumentTable::PushUndo(int slot)
{
    DocumentRecord &r = record(slot);
    r.UndoLevel3 = std::move(r.UndoLevel2);
    r.UndoLevel2 = std::move(r.UndoLevel1);
    r.UndoLevel1 = r.UndoSnapshot;
}

void DocumentTable::PopUndo(int slot)
{
    DocumentRecord &r = record(slot);
    r.UndoSnapshot = std::move(r.UndoLevel1);
    r.UndoLevel1 = std::move(r.UndoLevel2);
    r.UndoLevel2 = std::move(r.UndoLevel3);
    r.UndoLevel3 = QByteArray();
}

void DocumentTable::RecordUndo(int slot, const QByteArray &text)
{
    DocumentRecord &r = record(slot);
    if (text == r.UndoSnapshot)
        return;
    if (!r.UndoSnapshot.isEmpty())
        PushUndo(slot);
    r.UndoSnapshot = text;
}

QByteArray DocumentTable::TakeUndo(int slot)
{
    QByteArray taken = record(slot).UndoSnapshot;
    PopUndo(slot);
    return taken;
}

QByteArray DocumentTable::Undo(int slot, const QByteArray &current)
{
    DocumentRecord &r = record(slot);
    if (r.UndoSnapshot.isEmpty())
        return QByteArray();
    r.RedoLevels.append(current);
    return TakeUndo(slot);
}

QByteArray DocumentTable::Redo(int slot, const QByteArray &current)
{
    DocumentRecord &r = record(slot);
    if (r.RedoLevels.isEmpty())
        return QByteArray();
    QByteArray text = r.RedoLevels.takeLast();
    RecordUndo(slot, current);
    return text;
}

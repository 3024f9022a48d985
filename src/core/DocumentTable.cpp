#include "core/DocumentTable.h"

int DocumentTable::FindFreeSlot() const
{
    for (int slot = 1; slot <= DocumentCount(); ++slot) {
        if (!m_records[size_t(slot)]->InUse())
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
        m_records.push_back(std::make_unique<DocumentRecord>());
        *grew = true;
        slot = DocumentCount();
    }
    record(slot).take(++m_serials);
    return slot;
}

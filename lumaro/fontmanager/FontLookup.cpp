#include "fontmanager/FontLookup.h"

#include <memory>
#include <new>
#include <string>
#include <utility>

#include "fontmanager/GlyvorConnection.h"
#include "fontmanager/TextConversion.h"

bool FindAvailableFonts(GlyvorConnection* connection, const FontItemList& missing,
                        AvailableItemList& available, bool* whole) {
    if (whole != nullptr) *whole = true;
    ClearAvailableItems(available);
    if (connection == nullptr || !connection->IsConnected()) return false;

    for (const CFontItem* item : missing) {
        if (item == nullptr) continue;
        std::wstring name = NarrowToWideString(item->m_strName.c_str());
        std::wstring fontId, detail;
        if (!connection->FindMatchingFont(name, fontId, detail)) continue;

        // A record that cannot be had is skipped; the lookup goes on with the
        // others, and the caller learns that the list is not whole.
        std::unique_ptr<CFontItemAvailable> record(new (std::nothrow) CFontItemAvailable);
        if (!record) {
            if (whole != nullptr) *whole = false;
            continue;
        }
        record->m_wstrAux1.clear();
        record->m_wstrAux2.clear();
        // The strings move into the record: the same texts, without copies.
        record->m_wstrName = std::move(name);
        record->m_nAux1 = 0;
        record->m_nAux2 = 0;
        record->m_wstrFontId = std::move(fontId);
        record->m_wstrFontDetail = std::move(detail);
        available.push_back(record.get());
        record.release();
    }
    return true;
}

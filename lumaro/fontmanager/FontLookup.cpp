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

    // Shared by every font: their storage is taken once, and each record then
    // holds its texts in its own block.
    std::wstring name, fontId, detail;
    for (const CFontItem* item : missing) {
        if (item == nullptr) continue;
        AssignNarrowToWide(item->m_strName.c_str(), name);
        if (!connection->FindMatchingFont(name, fontId, detail)) continue;

        // A record that cannot be had is skipped; the lookup goes on with the
        // others, and the caller learns that the list is not whole.
        std::unique_ptr<CFontItemAvailable> record;
        try {
            using Record = CFontItemAvailable;
            record = Record::Create(Record::Room{Record::RoomFor<wchar_t>(name.size()) +
                                                 Record::RoomFor<wchar_t>(fontId.size()) +
                                                 Record::RoomFor<wchar_t>(detail.size())});
            record->m_wstrAux1.clear();
            record->m_wstrAux2.clear();
            Record::SetText(record->m_wstrName, name.data(), name.size());
            record->m_nAux1 = 0;
            record->m_nAux2 = 0;
            Record::SetText(record->m_wstrFontId, fontId.data(), fontId.size());
            Record::SetText(record->m_wstrFontDetail, detail.data(), detail.size());
        } catch (const std::bad_alloc&) {
            if (whole != nullptr) *whole = false;
            continue;
        }
        available.push_back(record.get());
        record.release();
    }
    return true;
}

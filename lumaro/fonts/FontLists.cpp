#include "fonts/FontLists.h"

FontItemList g_fontitems;
AvailableItemList g_fontitemsAvailable;

namespace {

template <typename Record>
void DeleteAll(std::vector<Record*>& items) {
    for (size_t i = 0; i < items.size(); ++i) {
        Record* record = items[i];
        // Null the entry first so that the list never points at a deleted record.
        items[i] = nullptr;
        delete record;
    }
    items.clear();
}

template <typename Record>
void DeleteAllAndEmpty(std::vector<Record*>& items) {
    DeleteAll(items);
    // Give the storage back as well: the host's allocator hands it out, and after the
    // panel is gone no block of ours may outlive shutdown.
    std::vector<Record*>().swap(items);
}

}  // namespace

void ClearFontItems(FontItemList& items) { DeleteAllAndEmpty(items); }

void ClearAvailableItems(AvailableItemList& items) { DeleteAllAndEmpty(items); }

void EmptyFontItemsForRefill(FontItemList& items) { DeleteAll(items); }

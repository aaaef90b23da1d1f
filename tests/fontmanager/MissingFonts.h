// Missing-font records as a scan leaves them, for the lookup's tests.
#pragma once

#include <vector>

#include "fonts/FontItem.h"
#include "fonts/FontLists.h"

inline void AddMissingFonts(FontItemList& list, const std::vector<const char*>& names) {
    for (const char* name : names) {
        CFontItem* item = new CFontItem;
        item->m_bMissing = true;
        item->m_strName = name;
        list.push_back(item);
    }
}

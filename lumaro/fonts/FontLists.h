// The two global lists of font records. A list owns every record it points to; the
// list boxes' rows only point at them, so rows go before the records do.
#pragma once

#include <vector>

#include "fonts/FontItem.h"

typedef std::vector<CFontItem*> FontItemList;
typedef std::vector<CFontItemAvailable*> AvailableItemList;

// The last scan of the host's font list, in display order.
extern FontItemList g_fontitems;
// The last query of the font manager, in the order of g_fontitems.
extern AvailableItemList g_fontitemsAvailable;

// Delete every record (null entries are skipped) and leave the list empty, its
// storage released.
void ClearFontItems(FontItemList& items);
void ClearAvailableItems(AvailableItemList& items);
// The same, keeping the list's storage for the records about to be appended: a
// scan refills the list at once, and growing it anew from nothing every time
// costs a reallocation at each doubling.
void EmptyFontItemsForRefill(FontItemList& items);

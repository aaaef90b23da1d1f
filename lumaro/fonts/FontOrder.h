// The order of the missing-fonts list: by narrow name, ASCII letters folded to lower
// case, every other byte (128 and up included) compared as is. No locale is consulted,
// so the order is the same on every machine.
#pragma once

#include <string_view>

#include "fonts/FontLists.h"

// Negative, zero or positive as a sorts before, with or after b. A prefix sorts first.
int CompareFontNames(std::string_view a, std::string_view b);

struct CompareFontItems {
    explicit CompareFontItems(bool bAscending = true) : m_bAscending(bAscending) {}

    // A null record sorts before every record.
    bool operator()(const CFontItem* a, const CFontItem* b) const;

    bool m_bAscending;
};

// Sorts by name, ascending; records with equal names keep no particular order.
void SortFontItems(FontItemList& items);

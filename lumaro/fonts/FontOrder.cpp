#include "fonts/FontOrder.h"

#include <algorithm>

namespace {

unsigned char FoldAscii(unsigned char byte) {
    return (byte >= 'A' && byte <= 'Z') ? static_cast<unsigned char>(byte - 'A' + 'a') : byte;
}

}  // namespace

int CompareFontNames(const std::string& a, const std::string& b) {
    // Past its end a string reads as its terminating zero byte. The names are NUL-free
    // C texts from the host; should one hold a zero byte, the rest still takes part.
    const size_t length = std::max(a.size(), b.size());
    for (size_t i = 0; i <= length; ++i) {
        const unsigned char ca = i < a.size() ? FoldAscii(static_cast<unsigned char>(a[i])) : 0;
        const unsigned char cb = i < b.size() ? FoldAscii(static_cast<unsigned char>(b[i])) : 0;
        if (ca != cb) return static_cast<int>(ca) - static_cast<int>(cb);
        if (i >= a.size() && i >= b.size()) break;
    }
    return 0;
}

bool CompareFontItems::operator()(const CFontItem* a, const CFontItem* b) const {
    int c;
    if (a == nullptr || b == nullptr)
        c = (a == nullptr ? 0 : 1) - (b == nullptr ? 0 : 1);
    else
        c = CompareFontNames(a->m_strName, b->m_strName);
    return m_bAscending ? c < 0 : -c < 0;
}

void SortFontItems(FontItemList& items) {
    std::sort(items.begin(), items.end(), CompareFontItems(true));
}

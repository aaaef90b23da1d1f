#include "fonts/FontOrder.h"

#include <algorithm>

namespace {

unsigned char FoldAscii(unsigned char byte) {
    return (byte >= 'A' && byte <= 'Z') ? static_cast<unsigned char>(byte - 'A' + 'a') : byte;
}

}  // namespace

int CompareFontNames(std::string_view a, std::string_view b) {
    // Past its end a string reads as its terminating zero byte. The names are NUL-free
    // C texts from the host; should one hold a zero byte, the rest still takes part.
    // Equal bytes fold equally: the common prefix is passed over unfolded.
    const size_t shorter = std::min(a.size(), b.size());
    for (size_t i = 0; i < shorter; ++i) {
        if (a[i] == b[i]) continue;
        const unsigned char ca = FoldAscii(static_cast<unsigned char>(a[i]));
        const unsigned char cb = FoldAscii(static_cast<unsigned char>(b[i]));
        if (ca != cb) return static_cast<int>(ca) - static_cast<int>(cb);
    }
    // The shorter one reads as zero bytes from here: the longer one's first byte
    // that is not zero decides.
    const std::string_view longer = a.size() < b.size() ? b : a;
    for (size_t i = shorter; i < longer.size(); ++i) {
        const int c = FoldAscii(static_cast<unsigned char>(longer[i]));
        if (c != 0) return a.size() < b.size() ? -c : c;
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

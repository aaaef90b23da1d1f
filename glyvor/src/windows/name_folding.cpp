// The Windows edition of name folding: NormalizeString (NFKC) and LCMapStringEx
// (lower case, by linguistic rules), then NFKC once more, since lower-casing
// may leave text that is no longer composed.
#include "name_folding.h"

#include <windows.h>

#include "wide_text.h"

namespace glyvor {

namespace {

bool Normalise(const std::wstring& text, std::wstring* out) {
    const int length = static_cast<int>(text.size());
    int size = NormalizeString(NormalizationKC, text.data(), length, nullptr, 0);
    // The first answer is an estimate: grow until the text fits.
    for (int attempt = 0; attempt < 4 && size > 0; ++attempt) {
        out->assign(static_cast<std::size_t>(size), L'\0');
        const int written = NormalizeString(NormalizationKC, text.data(), length, &(*out)[0], size);
        if (written > 0) {
            out->resize(static_cast<std::size_t>(written));
            return true;
        }
        if (GetLastError() != ERROR_INSUFFICIENT_BUFFER) return false;
        size = -written;
    }
    return false;
}

bool Lower(const std::wstring& text, std::wstring* out) {
    const DWORD flags = LCMAP_LOWERCASE | LCMAP_LINGUISTIC_CASING;
    const int length = static_cast<int>(text.size());
    const int size = LCMapStringEx(LOCALE_NAME_INVARIANT, flags, text.data(), length, nullptr, 0,
                                   nullptr, nullptr, 0);
    if (size <= 0) return false;
    out->assign(static_cast<std::size_t>(size), L'\0');
    const int written = LCMapStringEx(LOCALE_NAME_INVARIANT, flags, text.data(), length, &(*out)[0],
                                      size, nullptr, nullptr, 0);
    if (written <= 0) return false;
    out->resize(static_cast<std::size_t>(written));
    return true;
}

}  // namespace

std::string FoldName(std::string_view utf8) {
    const std::wstring text = WideFromUtf8(std::string(utf8));
    if (text.empty()) return {};
    std::wstring composed, lower, folded;
    if (!Normalise(text, &composed)) composed = text;
    if (!Lower(composed, &lower)) lower = composed;
    if (!Normalise(lower, &folded)) folded = lower;
    return Utf8FromWide(folded);
}

}  // namespace glyvor

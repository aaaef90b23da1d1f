// The ICU edition of name folding.
#include "name_folding.h"

#include <unicode/normalizer2.h>
#include <unicode/unistr.h>

namespace glyvor {

std::string FoldName(std::string_view utf8) {
    UErrorCode status = U_ZERO_ERROR;
    static const icu::Normalizer2* const fold = icu::Normalizer2::getNFKCCasefoldInstance(status);
    const icu::UnicodeString text = icu::UnicodeString::fromUTF8(
        icu::StringPiece(utf8.data(), static_cast<int32_t>(utf8.size())));
    if (fold == nullptr) return std::string(utf8);
    status = U_ZERO_ERROR;
    const icu::UnicodeString folded = fold->normalize(text, status);
    if (U_FAILURE(status)) return std::string(utf8);
    std::string out;
    folded.toUTF8String(out);
    return out;
}

}  // namespace glyvor

#include "glyvor/font_entry.h"

namespace glyvor {

namespace {

struct KindTag {
    NameKind kind;
    const char* tag;
};

constexpr KindTag kKindTags[] = {
    {NameKind::PostScript, "ps"},
    {NameKind::Full, "full"},
    {NameKind::Family, "family"},
    {NameKind::Style, "style"},
    {NameKind::TypographicFamily, "tfamily"},
    {NameKind::TypographicStyle, "tstyle"},
    {NameKind::WwsFamily, "wfamily"},
    {NameKind::WwsStyle, "wstyle"},
};

// The entry's own field for names of this kind; null for kinds it has none for.
const std::string* FieldOf(const FontEntry& entry, NameKind kind) {
    switch (kind) {
        case NameKind::PostScript:
            return &entry.postScriptName;
        case NameKind::Full:
            return &entry.fullName;
        case NameKind::Family:
            return &entry.family;
        case NameKind::Style:
            return &entry.style;
        case NameKind::TypographicFamily:
            return &entry.typographicFamily;
        case NameKind::TypographicStyle:
            return &entry.typographicStyle;
        case NameKind::WwsFamily:
        case NameKind::WwsStyle:
            break;
    }
    return nullptr;
}

}  // namespace

const char* FormatTag(FontFormat format) {
    switch (format) {
        case FontFormat::OpenTypeCff:
            return "otf";
        case FontFormat::TrueType:
            return "ttf";
        case FontFormat::Type1:
            return "t1";
    }
    return "?";
}

bool FormatFromTag(const std::string& tag, FontFormat* format) {
    for (FontFormat f : {FontFormat::OpenTypeCff, FontFormat::TrueType, FontFormat::Type1}) {
        if (tag == FormatTag(f)) {
            *format = f;
            return true;
        }
    }
    return false;
}

const char* NameKindTag(NameKind kind) {
    for (const KindTag& k : kKindTags) {
        if (k.kind == kind) return k.tag;
    }
    return "?";
}

bool NameKindFromTag(const std::string& tag, NameKind* kind) {
    for (const KindTag& k : kKindTags) {
        if (tag == k.tag) {
            *kind = k.kind;
            return true;
        }
    }
    return false;
}

AddNameResult AddOtherName(FontEntry* entry, FontName name) {
    if (name.text.empty()) return AddNameResult::Empty;
    const std::string* field = FieldOf(*entry, name.kind);
    if (field && *field == name.text) return AddNameResult::Known;
    std::size_t ofKind = 0;
    for (const FontName& known : entry->otherNames) {
        if (known.kind != name.kind) continue;
        if (known.text == name.text) return AddNameResult::Known;
        ++ofKind;
    }
    if (ofKind >= kMaxNamesOfAKind) return AddNameResult::TooMany;
    entry->otherNames.push_back(std::move(name));
    return AddNameResult::Added;
}

}  // namespace glyvor

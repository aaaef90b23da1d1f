// The plain Windows dialog template (DIALOG resource, type 5), as the host
// reads it from a module to build an ADM dialog.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

namespace host::adm {

// Window classes a template names by atom instead of by string.
enum class TemplateAtom : std::uint16_t {
    kButton = 0x0080,
    kEdit = 0x0081,
    kStatic = 0x0082,
    kListBox = 0x0083,
    kScrollBar = 0x0084,
    kComboBox = 0x0085,
};

// A class, menu or text field: absent, an ordinal (0xFFFF followed by a
// number) or a UTF-16 string.
struct TemplateName {
    enum class Kind { kNone, kOrdinal, kString };
    Kind kind = Kind::kNone;
    std::uint16_t ordinal = 0;
    std::u16string text;

    bool IsOrdinal(std::uint16_t value) const { return kind == Kind::kOrdinal && ordinal == value; }
    // A string equal to `ascii`, ignoring ASCII case as window classes do.
    bool IsString(const char* ascii) const;
};

struct TemplateItem {
    std::uint32_t style = 0;
    std::uint32_t extendedStyle = 0;
    std::int16_t x = 0, y = 0, cx = 0, cy = 0;
    std::uint16_t id = 0;
    TemplateName windowClass;
    TemplateName text;
    std::vector<std::uint8_t> creationData;
};

constexpr std::uint32_t kDsSetFont = 0x00000040;

struct DialogTemplate {
    std::uint32_t style = 0;
    std::uint32_t extendedStyle = 0;
    std::int16_t x = 0, y = 0, cx = 0, cy = 0;
    TemplateName menu;
    TemplateName windowClass;
    std::u16string caption;
    // Only with DS_SETFONT.
    std::uint16_t pointSize = 0;
    std::u16string faceName;
    std::vector<TemplateItem> items;
};

// A template that is truncated, extended (DLGTEMPLATEEX) or otherwise not
// one the host can build a dialog from.
class TemplateError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Throws TemplateError with the offset and the reason.
DialogTemplate ParseDialogTemplate(const std::uint8_t* data, std::size_t size);
inline DialogTemplate ParseDialogTemplate(const std::vector<std::uint8_t>& bytes) {
    return ParseDialogTemplate(bytes.data(), bytes.size());
}

// UTF-16 to UTF-8 for texts the host shows and logs; unpaired surrogates
// become U+FFFD.
std::string Utf16ToUtf8(const std::u16string& text);

}  // namespace host::adm

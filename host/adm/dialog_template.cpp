#include "host/adm/dialog_template.h"

#include "host/text/unicode_text.h"

#include <cstring>

namespace host::adm {
namespace {

class Reader {
public:
    Reader(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}

    std::size_t offset() const { return pos_; }

    std::uint16_t Word(const char* what) {
        Need(2, what);
        std::uint16_t v = static_cast<std::uint16_t>(data_[pos_] | (data_[pos_ + 1] << 8));
        pos_ += 2;
        return v;
    }
    std::uint32_t Dword(const char* what) {
        std::uint32_t lo = Word(what);
        std::uint32_t hi = Word(what);
        return lo | (hi << 16);
    }
    std::int16_t Short(const char* what) { return static_cast<std::int16_t>(Word(what)); }

    std::u16string String(const char* what) {
        std::u16string s;
        for (;;) {
            std::uint16_t unit = Word(what);
            if (unit == 0) return s;
            s.push_back(static_cast<char16_t>(unit));
        }
    }

    // sz_Or_Ord: 0x0000 none, 0xFFFF then an ordinal, else a string.
    TemplateName Name(const char* what) {
        TemplateName name;
        std::size_t at = pos_;
        std::uint16_t first = Word(what);
        if (first == 0x0000) return name;
        if (first == 0xFFFF) {
            name.kind = TemplateName::Kind::kOrdinal;
            name.ordinal = Word(what);
            return name;
        }
        pos_ = at;
        name.kind = TemplateName::Kind::kString;
        name.text = String(what);
        return name;
    }

    std::vector<std::uint8_t> Bytes(std::size_t n, const char* what) {
        Need(n, what);
        std::vector<std::uint8_t> out(data_ + pos_, data_ + pos_ + n);
        pos_ += n;
        return out;
    }

    void AlignDword(bool required, const char* what) {
        std::size_t aligned = (pos_ + 3) & ~std::size_t{3};
        if (aligned > size_) {
            // Padding after the last item may be left out by resource compilers.
            if (required) Fail("truncated before " + std::string(what));
            pos_ = size_;
            return;
        }
        pos_ = aligned;
    }

    [[noreturn]] void Fail(const std::string& reason) const {
        throw TemplateError("dialog template: " + reason + " at byte " + std::to_string(pos_) +
                            " of " + std::to_string(size_));
    }

private:
    void Need(std::size_t n, const char* what) const {
        if (size_ - pos_ < n) Fail(std::string("truncated in ") + what);
    }

    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t pos_ = 0;
};

}  // namespace

bool TemplateName::IsString(const char* ascii) const {
    if (kind != Kind::kString) return false;
    std::size_t n = std::strlen(ascii);
    if (text.size() != n) return false;
    // Window class names ignore case, and resource compilers upper-case them.
    auto fold = [](char16_t c) { return c >= u'a' && c <= u'z' ? char16_t(c - 32) : c; };
    for (std::size_t i = 0; i < n; ++i) {
        if (fold(text[i]) != fold(static_cast<char16_t>(static_cast<unsigned char>(ascii[i])))) {
            return false;
        }
    }
    return true;
}

DialogTemplate ParseDialogTemplate(const std::uint8_t* data, std::size_t size) {
    if (data == nullptr && size != 0) throw TemplateError("dialog template: no data");
    Reader in(data, size);
    DialogTemplate dlg;
    if (size >= 4 && data[0] == 1 && data[1] == 0 && data[2] == 0xFF && data[3] == 0xFF) {
        in.Fail("extended templates (DLGTEMPLATEEX) are not supported");
    }
    dlg.style = in.Dword("style");
    dlg.extendedStyle = in.Dword("extended style");
    std::uint16_t count = in.Word("item count");
    dlg.x = in.Short("position");
    dlg.y = in.Short("position");
    dlg.cx = in.Short("size");
    dlg.cy = in.Short("size");
    if (dlg.cx < 0 || dlg.cy < 0) in.Fail("negative dialog size");
    dlg.menu = in.Name("menu");
    dlg.windowClass = in.Name("class");
    dlg.caption = in.String("caption");
    if (dlg.style & kDsSetFont) {
        dlg.pointSize = in.Word("font size");
        dlg.faceName = in.String("font face name");
    }
    // Every item needs at least its 18 fixed bytes; refuse absurd counts
    // before reserving room for them.
    if (static_cast<std::size_t>(count) * 18 > size) in.Fail("item count larger than the data");
    dlg.items.reserve(count);
    for (std::uint16_t i = 0; i < count; ++i) {
        in.AlignDword(true, "an item");
        TemplateItem item;
        item.style = in.Dword("item style");
        item.extendedStyle = in.Dword("item extended style");
        item.x = in.Short("item rectangle");
        item.y = in.Short("item rectangle");
        item.cx = in.Short("item rectangle");
        item.cy = in.Short("item rectangle");
        if (item.cx < 0 || item.cy < 0) in.Fail("negative item size");
        item.id = in.Word("item ID");
        item.windowClass = in.Name("item class");
        if (item.windowClass.kind == TemplateName::Kind::kNone) in.Fail("item without a class");
        item.text = in.Name("item text");
        std::uint16_t extra = in.Word("creation data size");
        if (extra > 0) item.creationData = in.Bytes(extra, "creation data");
        dlg.items.push_back(std::move(item));
    }
    return dlg;
}

std::string Utf16ToUtf8(const std::u16string& text) { return EncodeUtf8(text); }

}  // namespace host::adm

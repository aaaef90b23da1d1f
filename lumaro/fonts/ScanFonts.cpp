#include "fonts/ScanFonts.h"

#include <algorithm>
#include <cstring>
#include <exception>
#include <iterator>
#include <memory>
#include <string_view>

#include "fontmanager/HostString.h"
#include "fontmanager/TextConversion.h"
#include "fonts/FontLists.h"
#include "fonts/FontOrder.h"
#include "frame/Suites.h"
#include "panel/LumaroDialog.h"
#include "panel/RecordRows.h"
#include "resources/PanelResourceIDs.h"

namespace {

constexpr std::size_t kNameBufferSize = 1024;
constexpr std::size_t kLongestName = kNameBufferSize - 1;
// The most bytes of a partial character: three of a four-byte UTF-8 one.
constexpr int kLongestCharacterCut = 3;

// A host string's text, cut on whole characters to what a record field holds.
struct Name {
    const ASUnicode* units = nullptr;
    std::size_t length = 0;
};

Name TakeName(const ai::HostString& name) {
    Name taken;
    const ASUInt32 length = name.GetUtf16(&taken.units);
    taken.length =
        taken.units != nullptr ? WholeCharacterLength(taken.units, length, kLongestName) : 0;
    return taken;
}

// Names A to C share one host string, so each is kept here until the record is made,
// already in the record's characters.
struct NameCopy {
    wchar_t text[kLongestName];
    std::size_t length;
};

using UnicodeNameQuery = ASErr(HOSTAPI*)(AIFontKey, AIUnicodeString*, ASBoolean);

void QueryName(UnicodeNameQuery query, AIFontKey font, bool flag, ai::HostString& name,
               NameCopy& copy) {
    copy.length = 0;
    name.erase(0, 0xFFFFFFFF);
    if (query == nullptr || query(font, name.Record(), flag) != kNoErr) return;
    const Name taken = TakeName(name);
    std::copy(taken.units, taken.units + taken.length, copy.text);
    copy.length = taken.length;
}

// The style name; whatever goes wrong with it costs only this one name. Its text
// stays in the host string until the next font's query.
Name QueryNameD(AIFontKey font, ai::HostString& name) {
    try {
        if (g_aiFont->GetFontStyleNameUnicode == nullptr) return Name();
        name.erase(0, 0xFFFFFFFF);
        if (g_aiFont->GetFontStyleNameUnicode(font, name.Record()) != kNoErr) return Name();
        return TakeName(name);
    } catch (...) {
        return Name();
    }
}

// A name that filled the buffer was cut at its last byte, which may have fallen inside
// a character (a double-byte one, or one of up to four bytes in UTF-8): the row and the
// lookup must not end in part of one. Only a cut that the rest of the name shows to be
// valid is mended.
void DropCutCharacter(char* name) {
    if (std::strlen(name) != kLongestName) return;
    const auto valid = [name](int bytes) {
        return MultiByteToWideChar(CP_THREAD_ACP, MB_ERR_INVALID_CHARS, name, bytes, nullptr, 0) >
               0;
    };
    const int length = static_cast<int>(kLongestName);
    if (valid(length)) return;
    for (int cut = 1; cut <= kLongestCharacterCut; ++cut) {
        if (!valid(length - cut)) continue;
        name[length - cut] = '\0';
        return;
    }
}

enum class FontStep { Listed, Skipped, Stop };

// The scan's buffers, shared by every font: each query empties its host string
// first, so it starts as empty as a fresh one, and the host makes and destroys two
// strings a scan instead of two a font.
struct ScanBuffers {
    char narrowName[kNameBufferSize];
    NameCopy names[6];         // in the order queried: A1, A0, C0, C1, B1, B0
    ai::HostString name;       // names A to C
    ai::HostString styleName;  // name D
};

// One entry of the host's font list; its record is appended when it is listed. A
// name the host would not give stays empty and is not reported: the font still has
// its row.
FontStep ReadFont(ASInt32 index, bool bMissingOnly, ScanBuffers& buffers) {
    char* narrowName = buffers.narrowName;
    ai::HostString& name = buffers.name;

    AIFontKey font = nullptr;
    if (g_aiFont->IndexFontList(index, &font) != kNoErr) return FontStep::Stop;
    AIFontInfo info;
    std::memset(&info, 0, sizeof info);
    if (g_aiFont->GetFontInfo(font, &info) != kNoErr) return FontStep::Stop;
    const bool missing = info.missing != 0;
    if (bMissingOnly && !missing) return FontStep::Skipped;

    // Cleared only for the fonts that are listed: the others are most of a
    // library, and two host calls each are all they should cost.
    std::memset(narrowName, 0, kNameBufferSize);
    if (g_aiFont->GetFontName(font, narrowName, static_cast<ASInt16>(kNameBufferSize)) != kNoErr) {
        narrowName[0] = '\0';
    }
    narrowName[kLongestName] = '\0';
    DropCutCharacter(narrowName);

    NameCopy* names = buffers.names;
    QueryName(g_aiFont->GetPostScriptFontNameUnicode, font, true, name, names[0]);
    QueryName(g_aiFont->GetPostScriptFontNameUnicode, font, false, name, names[1]);
    QueryName(g_aiFont->GetFontFamilyNameUnicode, font, false, name, names[2]);
    QueryName(g_aiFont->GetFontFamilyNameUnicode, font, true, name, names[3]);
    QueryName(g_aiFont->GetFontFullNameUnicode, font, true, name, names[4]);
    QueryName(g_aiFont->GetFontFullNameUnicode, font, false, name, names[5]);
    const FontTechnology technology = ClassifyFontTechnology(info);
    const Name nameD = QueryNameD(font, buffers.styleName);

    // The record and all its texts in one block.
    const std::size_t narrowLength = std::strlen(narrowName);
    const std::size_t technologyLength = std::strlen(technology.technology);
    const std::size_t outlinesLength = std::strlen(technology.outlines);
    std::size_t room =
        CFontItem::RoomFor<char>(narrowLength) + CFontItem::RoomFor<char>(technologyLength) +
        CFontItem::RoomFor<char>(outlinesLength) + CFontItem::RoomFor<wchar_t>(nameD.length);
    for (const NameCopy& copy : buffers.names) room += CFontItem::RoomFor<wchar_t>(copy.length);
    std::unique_ptr<CFontItem> item = CFontItem::Create(CFontItem::Room{room});
    item->m_bMissing = missing;
    CFontItem::SetText(item->m_strName, narrowName, narrowLength);
    RecordWString* const fields[] = {&item->m_wstrNameA1, &item->m_wstrNameA0, &item->m_wstrNameC0,
                                     &item->m_wstrNameC1, &item->m_wstrNameB1, &item->m_wstrNameB0};
    for (std::size_t i = 0; i < std::size(fields); ++i)
        CFontItem::SetText(*fields[i], names[i].text, names[i].length);
    CFontItem::SetText(item->m_strTechnology, technology.technology, technologyLength);
    CFontItem::SetText(item->m_strOutlines, technology.outlines, outlinesLength);
    CFontItem::SetText(item->m_wstrNameD, nameD.units, nameD.length);

    g_fontitems.push_back(item.get());
    item.release();
    return FontStep::Listed;
}

}  // namespace

FontTechnology ClassifyFontTechnology(const AIFontInfo& info) {
    if (info.openType != 0) {
        if (info.technology == kAITrueTypeFontTechnology) return {"OpenType", "TT outlines"};
        if (info.technology == kAIType1FontTechnology) return {"OpenType", "CFF outlines"};
        return {"OpenType", ""};
    }
    if (info.bitmap != 0) return {"Bitmap font", ""};
    if (info.cidKeyed != 0) return {"Character ID-keyed font", ""};
    if (info.ocf != 0) return {"Original Composite Format", ""};
    if (info.atc != 0) return {"Adobe Type Composer", ""};
    if (info.technology == kAITrueTypeFontTechnology) return {"TrueType", ""};
    if (info.technology == kAIType1FontTechnology) return {"PostScript Type 1", ""};
    return {"", ""};
}

void AssignFontRowText(const CFontItem& item, std::string& text) {
    if (item.m_bMissing) {
        text.assign("* ", 2);
        text.append(item.m_strName.data(), item.m_strName.size());
        return;
    }
    std::wstring_view name = item.m_wstrNameB0;
    AssignWideToNarrow(name, text);
    // Cut whole characters, so that no lead byte of a double-byte code page
    // is left without its trail byte.
    while (text.size() > kLongestName && !name.empty()) {
        const std::size_t excess = text.size() - kLongestName;
        const std::size_t cut = std::min(name.size(), std::max<std::size_t>(1, excess / 2));
        name = name.substr(0, WholeCharacterLength(name.data(), name.size(), name.size() - cut));
        AssignWideToNarrow(name, text);
    }
}

std::string FontRowText(const CFontItem& item) {
    std::string text;
    AssignFontRowText(item, text);
    return text;
}

void LumaroDialog::ScanFonts(bool bMissingOnly) {
    // Records rows still lead to stay until those rows can be emptied.
    if (!ClearMissingList()) {
        m_scanComplete = false;
        return;
    }
    EmptyFontItemsForRefill(g_fontitems);
    ADMListRef list = List(kMissingList);

    m_scanComplete = true;
    ASInt32 count = 0;
    if (g_aiFont != nullptr && g_aiFont->CountFonts(&count) != kNoErr) {
        count = 0;
        m_scanComplete = false;
    }

    // A failure ends the walk as a failed index query does: the fonts read so far
    // are shown all the same, so that the rows, the count and what Find looks up
    // agree. The failure reaches the caller after that.
    std::exception_ptr failure;
    {
        ScanBuffers buffers;
        for (ASInt32 index = 0; index < count; ++index) {
            try {
                if (ReadFont(index, bMissingOnly, buffers) == FontStep::Stop) {
                    m_scanComplete = false;
                    break;
                }
            } catch (...) {
                failure = std::current_exception();
                m_scanComplete = false;
                break;
            }
        }
    }

    SortFontItems(g_fontitems);

    // A dialog the host destroyed meanwhile took the list box with it.
    if (GetDialogRef() == nullptr) list = nullptr;
    if (list == nullptr) {
        // Records no row shows would be counted and looked up unseen.
        if (!g_fontitems.empty()) m_scanComplete = false;
        ClearFontItems(g_fontitems);
    } else if (!ShowRecords(
                   g_fontitems, [&](int row) { return RowAt(list, row); },
                   [](const CFontItem& record, std::string& text) {
                       AssignFontRowText(record, text);
                   },
                   [this] { return GetDialogRef() == nullptr; })) {
        m_scanComplete = false;
    }
    if (failure != nullptr) std::rethrow_exception(failure);
}

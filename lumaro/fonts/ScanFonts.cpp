#include "fonts/ScanFonts.h"

#include <algorithm>
#include <cstring>
#include <memory>

#include "fontmanager/HostString.h"
#include "fontmanager/TextConversion.h"
#include "fonts/FontLists.h"
#include "fonts/FontOrder.h"
#include "frame/Suites.h"
#include "panel/LumaroDialog.h"
#include "resources/PanelResourceIDs.h"

namespace {

constexpr std::size_t kNameBufferSize = 1024;
constexpr std::size_t kLongestName = kNameBufferSize - 1;

// The host string's text, cut to what a record field holds.
std::wstring TakeName(const ai::HostString& name) {
    const ASUnicode* units = nullptr;
    const ASUInt32 length = name.GetUtf16(&units);
    const std::size_t kept = std::min<std::size_t>(length, kLongestName);
    return FromUnits(reinterpret_cast<const WCHAR*>(units), kept);
}

using UnicodeNameQuery = ASErr(HOSTAPI*)(AIFontKey, AIUnicodeString*, ASBoolean);

std::wstring QueryName(UnicodeNameQuery query, AIFontKey font, bool flag, ai::HostString& name) {
    name.erase(0, 0xFFFFFFFF);
    if (query == nullptr || query(font, name.Record(), flag) != kNoErr) return std::wstring();
    return TakeName(name);
}

// The style name; whatever goes wrong with it costs only this one name.
std::wstring QueryNameD(AIFontKey font, ai::HostString& name) {
    try {
        if (g_aiFont->GetFontStyleNameUnicode == nullptr) return std::wstring();
        name.erase(0, 0xFFFFFFFF);
        if (g_aiFont->GetFontStyleNameUnicode(font, name.Record()) != kNoErr) return std::wstring();
        return TakeName(name);
    } catch (...) {
        return std::wstring();
    }
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
        text += item.m_strName;
        return;
    }
    std::wstring name = item.m_wstrNameB0;
    text = WideToNarrowString(name);
    // Cut whole characters, so that no lead byte of a double-byte code page
    // is left without its trail byte.
    while (text.size() > kLongestName && !name.empty()) {
        const std::size_t excess = text.size() - kLongestName;
        name.resize(name.size() - std::min(name.size(), std::max<std::size_t>(1, excess / 2)));
        text = WideToNarrowString(name);
    }
}

std::string FontRowText(const CFontItem& item) {
    std::string text;
    AssignFontRowText(item, text);
    return text;
}

void LumaroDialog::ScanFonts(bool bMissingOnly) {
    ClearMissingList();
    EmptyFontItemsForRefill(g_fontitems);
    ADMListRef list = List(kMissingList);

    ASInt32 count = 0;
    if (g_aiFont != nullptr) g_aiFont->CountFonts(&count);

    char narrowName[kNameBufferSize];
    // One host string for the names A to C and one for D serve every font: each
    // query empties its string first, so it starts as empty as a fresh one, and the
    // host makes and destroys two strings a scan instead of two a font.
    ai::HostString name;
    ai::HostString styleName;
    for (ASInt32 index = 0; index < count; ++index) {
        AIFontKey font = nullptr;
        if (g_aiFont->IndexFontList(index, &font) != kNoErr) break;
        AIFontInfo info;
        std::memset(&info, 0, sizeof info);
        if (g_aiFont->GetFontInfo(font, &info) != kNoErr) break;
        const bool missing = info.missing != 0;
        if (bMissingOnly && !missing) continue;

        // Cleared only for the fonts that are listed: the others are most of a
        // library, and two host calls each are all they should cost.
        std::memset(narrowName, 0, sizeof narrowName);
        if (g_aiFont->GetFontName(font, narrowName, static_cast<ASInt16>(kNameBufferSize)) !=
            kNoErr) {
            narrowName[0] = '\0';
        }
        narrowName[kLongestName] = '\0';

        auto item = std::make_unique<CFontItem>();
        item->m_bMissing = missing;
        item->m_strName = narrowName;
        item->m_wstrNameA1 = QueryName(g_aiFont->GetPostScriptFontNameUnicode, font, true, name);
        item->m_wstrNameA0 = QueryName(g_aiFont->GetPostScriptFontNameUnicode, font, false, name);
        item->m_wstrNameC0 = QueryName(g_aiFont->GetFontFamilyNameUnicode, font, false, name);
        item->m_wstrNameC1 = QueryName(g_aiFont->GetFontFamilyNameUnicode, font, true, name);
        item->m_wstrNameB1 = QueryName(g_aiFont->GetFontFullNameUnicode, font, true, name);
        item->m_wstrNameB0 = QueryName(g_aiFont->GetFontFullNameUnicode, font, false, name);
        const FontTechnology technology = ClassifyFontTechnology(info);
        item->m_strTechnology = technology.technology;
        item->m_strOutlines = technology.outlines;
        item->m_wstrNameD = QueryNameD(font, styleName);

        g_fontitems.push_back(item.get());
        item.release();
    }

    SortFontItems(g_fontitems);

    if (list == nullptr) return;
    std::string row;  // one buffer for every row: the host copies the text
    for (CFontItem* record : g_fontitems) {
        if (record == nullptr) continue;
        ADMEntryRef entry = g_admList->InsertEntry(list, g_admList->NumberOfEntries(list));
        if (entry == nullptr) continue;
        AssignFontRowText(*record, row);
        g_admEntry->SetText(entry, row.c_str());
        g_admEntry->SetUserData(entry, record);
    }
}

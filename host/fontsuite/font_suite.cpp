#include "host/fontsuite/font_suite.h"

#include <algorithm>
#include <cstring>
#include <string>

#include "host/current_plugin.h"
#include "host/host.h"
#include "host/suite_registry.h"
#include "host/text_encoding.h"
#include "hostapi/errors.h"
#include "platform/win32.h"

namespace host::fontsuite {
namespace {

FontSuiteService* g_active = nullptr;

// The entry behind a key, with its index, or null.
const FontEntry* Lookup(AIFontKey key, std::size_t* index) {
    FontSuiteService* service = FontSuiteService::Active();
    if (service == nullptr || key == nullptr) return nullptr;
    std::uintptr_t raw = reinterpret_cast<std::uintptr_t>(key);
    std::size_t i = static_cast<std::size_t>(raw - 1);
    if (i >= service->Fonts().Count()) return nullptr;
    *index = i;
    return &service->Fonts().Entries()[i];
}

// Converts UTF-16 to the thread's ANSI code page; the longest prefix that
// fits in `capacity` bytes, never half a character.
std::string ToThreadAnsi(const std::u16string& wide, std::size_t capacity) {
    auto convert = [&](int units, char* out, int size) {
        if (units == 0) return 0;
        return WideCharToMultiByte(CP_THREAD_ACP, 0, reinterpret_cast<LPCWCH>(wide.data()), units,
                                   out, size, nullptr, nullptr);
    };
    int all = static_cast<int>(wide.size());
    int needed = convert(all, nullptr, 0);
    int units = all;
    if (needed > static_cast<int>(capacity)) {
        // The converted length grows with the prefix; find the longest that fits.
        int lo = 0, hi = all;
        while (lo < hi) {
            int mid = (lo + hi + 1) / 2;
            if (convert(mid, nullptr, 0) <= static_cast<int>(capacity)) {
                lo = mid;
            } else {
                hi = mid - 1;
            }
        }
        units = lo;
        if (units > 0 && wide[units - 1] >= 0xD800 && wide[units - 1] <= 0xDBFF) --units;
        needed = convert(units, nullptr, 0);
    }
    std::string out(static_cast<std::size_t>(needed), '\0');
    if (needed > 0) convert(units, out.data(), needed);
    return out;
}

// Font names are nearly always ASCII, which UTF-8, UTF-16 and every ANSI code page
// spell alike: those need no converter. A real host answers from names it holds
// ready; this keeps the simulated one from costing more than that.
bool IsAscii(const std::string& text) {
    for (unsigned char c : text)
        if (c >= 0x80) return false;
    return true;
}

ASErr HOSTAPI CountFonts(ASInt32* count) {
    FontSuiteService* service = FontSuiteService::Active();
    if (service == nullptr || count == nullptr) return kBadParameterErr;
    service->CountCall(FontQuery::Count);
    if (ASErr e = service->FaultFor(FontQuery::Count, 0)) return e;
    *count = static_cast<ASInt32>(service->Fonts().Count());
    return kNoErr;
}

ASErr HOSTAPI IndexFontList(ASInt32 index, AIFontKey* font) {
    FontSuiteService* service = FontSuiteService::Active();
    if (service == nullptr || font == nullptr || index < 0 ||
        static_cast<std::size_t>(index) >= service->Fonts().Count()) {
        return kBadParameterErr;
    }
    service->CountCall(FontQuery::Index);
    if (ASErr e = service->FaultFor(FontQuery::Index, index)) return e;
    *font = KeyOfIndex(static_cast<std::size_t>(index));
    return kNoErr;
}

ASErr HOSTAPI GetFontInfo(AIFontKey key, AIFontInfo* info) {
    std::size_t index = 0;
    const FontEntry* entry = Lookup(key, &index);
    if (entry == nullptr || info == nullptr) return kBadParameterErr;
    FontSuiteService& service = *FontSuiteService::Active();
    service.CountCall(FontQuery::Info);
    if (ASErr e = service.FaultFor(FontQuery::Info, index)) return e;
    AIFontInfo out{};
    const FontFaceInfo& face = entry->face;
    out.type = 0;
    out.technology = entry->TechnologyCode();
    out.script = 0;  // Roman
    out.faceIndex = static_cast<ASInt32>(face.faceIndex);
    out.weight = face.weight;
    out.italic = face.italic;
    out.fixedPitch = face.fixedPitch;
    out.missing = entry->missing;
    out.cidKeyed = face.cidKeyed;
    out.multipleMaster = face.multipleMaster;
    out.openType = face.openType;
    out.bitmap = face.bitmap;
    out.ocf = entry->ocf;
    out.atc = entry->atc;
    *info = out;
    return kNoErr;
}

ASErr HOSTAPI GetFontName(AIFontKey key, char* name, ASInt16 maxName) {
    std::size_t index = 0;
    const FontEntry* entry = Lookup(key, &index);
    if (entry == nullptr || name == nullptr || maxName <= 0) return kBadParameterErr;
    FontSuiteService& service = *FontSuiteService::Active();
    service.CountCall(FontQuery::NarrowName);
    if (ASErr e = service.FaultFor(FontQuery::NarrowName, index)) return e;
    if (const std::string* bytes = service.NarrowAnswer(index)) {
        const std::size_t n = std::min(bytes->size(), static_cast<std::size_t>(maxName));
        std::memcpy(name, bytes->data(), n);
        if (n < static_cast<std::size_t>(maxName)) name[n] = '\0';
        return kNoErr;
    }
    const std::string& utf8 = entry->Name();
    const std::size_t capacity = static_cast<std::size_t>(maxName) - 1;
    if (IsAscii(utf8)) {
        const std::size_t n = std::min(utf8.size(), capacity);
        std::memcpy(name, utf8.data(), n);
        name[n] = '\0';
        return kNoErr;
    }
    std::string narrow = ToThreadAnsi(DecodeUtf8(utf8.data(), utf8.size()), capacity);
    std::memcpy(name, narrow.data(), narrow.size());
    name[narrow.size()] = '\0';
    return kNoErr;
}

ASErr UnicodeName(FontQuery query, FontNameQuery which, AIFontKey key, AIUnicodeString* out,
                  bool native) {
    std::size_t index = 0;
    const FontEntry* entry = Lookup(key, &index);
    Host* host = Host::Current();
    if (entry == nullptr || out == nullptr || host == nullptr) return kBadParameterErr;
    FontSuiteService& service = *FontSuiteService::Active();
    service.CountCall(query);
    if (ASErr e = service.FaultFor(query, index)) return e;
    const std::string& utf8 = entry->UnicodeName(which, native);
    const std::u16string* answer = service.UnicodeAnswer(query, index);
    // The plug-in's string gets the text; a string it never initialised
    // becomes one the plug-in holds, as the string suite's own calls do.
    if (!host->Strings().Contains(out->impl)) {
        out->impl = host->Strings().Create(CurrentPluginScope::Current(), std::u16string());
    }
    if (answer != nullptr) {
        out->impl->text = *answer;
    } else if (IsAscii(utf8)) {
        out->impl->text.assign(utf8.begin(), utf8.end());
    } else {
        out->impl->text = DecodeUtf8(utf8.data(), utf8.size());
    }
    return kNoErr;
}

ASErr HOSTAPI GetFontStyleNameUnicode(AIFontKey key, AIUnicodeString* name) {
    return UnicodeName(FontQuery::Style, FontNameQuery::D, key, name, false);
}
ASErr HOSTAPI GetFontFullNameUnicode(AIFontKey key, AIUnicodeString* name, ASBoolean native) {
    return UnicodeName(FontQuery::FullName, FontNameQuery::B, key, name, native != 0);
}
ASErr HOSTAPI GetPostScriptFontNameUnicode(AIFontKey key, AIUnicodeString* name, ASBoolean native) {
    return UnicodeName(FontQuery::PostScript, FontNameQuery::A, key, name, native != 0);
}
ASErr HOSTAPI GetFontFamilyNameUnicode(AIFontKey key, AIUnicodeString* name, ASBoolean native) {
    return UnicodeName(FontQuery::Family, FontNameQuery::C, key, name, native != 0);
}

// The positions this host does not offer answer "not implemented".
ASErr HOSTAPI NotImplemented() { return kNotImplementedErr; }

AIFontSuite4 MakeSuite() {
    AIFontSuite4 t{};
    void* unimplemented = reinterpret_cast<void*>(&NotImplemented);
    for (void*& slot : t.reserved2to14) slot = unimplemented;
    for (void*& slot : t.reserved16to19) slot = unimplemented;
    for (void*& slot : t.reserved21to52) slot = unimplemented;
    for (void*& slot : t.reserved54to57) slot = unimplemented;
    t.CountFonts = CountFonts;
    t.IndexFontList = IndexFontList;
    t.GetFontInfo = GetFontInfo;
    t.GetFontName = GetFontName;
    t.GetFontStyleNameUnicode = GetFontStyleNameUnicode;
    t.GetFontFullNameUnicode = GetFontFullNameUnicode;
    t.GetPostScriptFontNameUnicode = GetPostScriptFontNameUnicode;
    t.GetFontFamilyNameUnicode = GetFontFamilyNameUnicode;
    return t;
}

const AIFontSuite4 kSuite = MakeSuite();

}  // namespace

AIFontKey KeyOfIndex(std::size_t index) { return reinterpret_cast<AIFontKey>(index + 1); }

FontSuiteService::FontSuiteService(FontList& fonts) : m_fonts(fonts) { g_active = this; }

FontSuiteService::~FontSuiteService() {
    if (g_active == this) g_active = nullptr;
}

FontSuiteService* FontSuiteService::Active() { return g_active; }

void FontSuiteService::Register(SuiteRegistry& registry) {
    registry.Replace(kAIFontSuite, kAIFontSuiteVersion, &kSuite);
}

void FontSuiteService::Fail(FontQuery query, int fontIndex, ASErr error) {
    m_faults[{query, fontIndex < 0 ? -1 : fontIndex}] = error;
}

void FontSuiteService::AnswerNarrowName(int fontIndex, std::string bytes) {
    m_narrowAnswers[fontIndex] = std::move(bytes);
}

void FontSuiteService::AnswerUnicodeName(FontQuery query, int fontIndex, std::u16string units) {
    m_unicodeAnswers[{query, fontIndex}] = std::move(units);
}

const std::string* FontSuiteService::NarrowAnswer(std::size_t fontIndex) const {
    const auto it = m_narrowAnswers.find(static_cast<int>(fontIndex));
    return it == m_narrowAnswers.end() ? nullptr : &it->second;
}

const std::u16string* FontSuiteService::UnicodeAnswer(FontQuery query,
                                                      std::size_t fontIndex) const {
    const auto it = m_unicodeAnswers.find({query, static_cast<int>(fontIndex)});
    return it == m_unicodeAnswers.end() ? nullptr : &it->second;
}

ASErr FontSuiteService::FaultFor(FontQuery query, std::size_t fontIndex) const {
    if (m_faults.empty()) return kNoErr;
    auto it = m_faults.find({query, static_cast<int>(fontIndex)});
    if (it != m_faults.end()) return it->second;
    it = m_faults.find({query, -1});
    return it != m_faults.end() ? it->second : kNoErr;
}

int FontSuiteService::Calls(FontQuery query) const {
    return m_calls[static_cast<std::size_t>(query)];
}

const AIFontSuite4& FontSuite() { return kSuite; }

}  // namespace host::fontsuite

// Windows code-page conversions. iconv supplies each legacy code page's mapping, read
// once into a table; the Windows contract (undefined bytes, default characters, sizes)
// is applied here. UTF-8 is decoded by hand because its replacement rules are the point.
#include "platform/emu/codepage.h"

#include <algorithm>
#include <errno.h>
#include <iconv.h>

#include <climits>
#include <cstdio>
#include <memory>
#include <mutex>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/emu/control.h"

namespace {

constexpr UINT kSystemCodePage = 1252;
constexpr UINT kOemCodePage = 437;
constexpr char16_t kReplacement = 0xFFFD;

thread_local UINT t_threadCodePage = kSystemCodePage;

bool IsDoubleByte(UINT codePage) {
    return codePage == 932 || codePage == 936 || codePage == 949 || codePage == 950;
}

bool IsKnownCodePage(UINT codePage) {
    switch (codePage) {
        case 437:
        case 850:
        case 852:
        case 866:
        case 874:
        case 932:
        case 936:
        case 949:
        case 950:
        case 1250:
        case 1251:
        case 1252:
        case 1253:
        case 1254:
        case 1255:
        case 1256:
        case 1257:
        case 1258:
            return true;
        default:
            return false;
    }
}

// A legacy code page as tables: every byte or byte pair to its UTF-16 unit, and back.
struct Table {
    bool doubleByte = false;
    bool lead[256] = {};
    bool defined[256] = {};
    char16_t single[256] = {};
    std::vector<char16_t> pairs;                     // [lead * 256 + trail], 0 when undefined
    std::unordered_map<char16_t, uint16_t> reverse;  // unit -> byte, or lead << 8 | trail
    // The same for the ASCII units, which most text is, without a hash lookup.
    bool lowDefined[128] = {};
    uint16_t lowReverse[128] = {};
    // Every ASCII byte is its own unit, both ways: ASCII text then converts as in
    // UTF-8, a whole buffer at a time.
    bool asciiIsItself = false;
    char16_t defaultUnicode = u'?';
};

// Decodes `bytes` alone. 1: one BMP character in *unit; 0: incomplete; -1: invalid.
int DecodeOne(iconv_t cd, const unsigned char* bytes, size_t count, char16_t* unit) {
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    char* in = reinterpret_cast<char*>(const_cast<unsigned char*>(bytes));
    size_t inLeft = count;
    uint32_t out[4] = {};
    char* outPtr = reinterpret_cast<char*>(out);
    size_t outLeft = sizeof out;
    if (iconv(cd, &in, &inLeft, &outPtr, &outLeft) == static_cast<size_t>(-1))
        return errno == EINVAL ? 0 : -1;
    // glibc's 1255 and 1258 hold a letter back to combine it with a mark that may
    // follow; flushing delivers it.
    if (iconv(cd, nullptr, nullptr, &outPtr, &outLeft) == static_cast<size_t>(-1)) return -1;
    const size_t produced = (sizeof out - outLeft) / sizeof(uint32_t);
    if (produced != 1 || out[0] > 0xFFFF || (out[0] >= 0xD800 && out[0] <= 0xDFFF)) return -1;
    *unit = static_cast<char16_t>(out[0]);
    return 1;
}

std::unique_ptr<Table> BuildTable(UINT codePage) {
    char name[32];
    std::snprintf(name, sizeof name, "CP%u", codePage);
    iconv_t cd = iconv_open("UTF-32LE", name);
    if (cd == reinterpret_cast<iconv_t>(-1)) {
        std::snprintf(name, sizeof name, "WINDOWS-%u", codePage);
        cd = iconv_open("UTF-32LE", name);
        if (cd == reinterpret_cast<iconv_t>(-1)) return nullptr;
    }
    auto table = std::make_unique<Table>();
    table->doubleByte = IsDoubleByte(codePage);
    table->defaultUnicode = codePage == 932 ? char16_t{0x30FB} : u'?';
    for (unsigned b = 0; b < 256; ++b) {
        const unsigned char byte = static_cast<unsigned char>(b);
        char16_t unit = 0;
        const int r = DecodeOne(cd, &byte, 1, &unit);
        if (r == 1) {
            table->defined[b] = true;
            table->single[b] = unit;
        } else if (r == 0 && table->doubleByte) {
            table->lead[b] = true;
        } else if (!table->doubleByte) {
            // Windows' single-byte tables give an undefined byte the code point of the
            // same value, and map it back.
            table->defined[b] = true;
            table->single[b] = static_cast<char16_t>(b);
        }
    }
    for (unsigned b = 0; b < 256; ++b)
        if (table->defined[b]) table->reverse.emplace(table->single[b], static_cast<uint16_t>(b));
    if (table->doubleByte) {
        table->pairs.assign(256 * 256, 0);
        for (unsigned l = 0; l < 256; ++l) {
            if (!table->lead[l]) continue;
            for (unsigned t = 1; t < 256; ++t) {
                const unsigned char bytes[2] = {static_cast<unsigned char>(l),
                                                static_cast<unsigned char>(t)};
                char16_t unit = 0;
                if (DecodeOne(cd, bytes, 2, &unit) == 1 && unit != 0) {
                    table->pairs[l * 256 + t] = unit;
                    table->reverse.emplace(unit, static_cast<uint16_t>(l << 8 | t));
                }
            }
        }
    }
    iconv_close(cd);
    for (char16_t unit = 0; unit < 128; ++unit) {
        const auto it = table->reverse.find(unit);
        table->lowDefined[unit] = it != table->reverse.end();
        if (table->lowDefined[unit]) table->lowReverse[unit] = it->second;
    }
    table->asciiIsItself = true;
    for (unsigned b = 0; b < 128; ++b) {
        if (!table->defined[b] || table->single[b] != b || !table->lowDefined[b] ||
            table->lowReverse[b] != b)
            table->asciiIsItself = false;
    }
    return table;
}

// Tables are built on first use and never change afterwards, so a thread may keep
// the one it used last without the lock.
const Table* TableFor(UINT codePage) {
    static std::mutex mutex;
    static std::unordered_map<UINT, std::unique_ptr<Table>> tables;
    thread_local UINT lastCodePage = 0;
    thread_local const Table* lastTable = nullptr;
    if (lastTable != nullptr && codePage == lastCodePage) return lastTable;
    if (!IsKnownCodePage(codePage)) return nullptr;
    std::lock_guard<std::mutex> lock(mutex);
    auto it = tables.find(codePage);
    if (it == tables.end()) it = tables.emplace(codePage, BuildTable(codePage)).first;
    if (it->second != nullptr) {
        lastCodePage = codePage;
        lastTable = it->second.get();
    }
    return it->second.get();
}

UINT ResolveCodePage(UINT codePage) {
    switch (codePage) {
        case CP_ACP:
            return kSystemCodePage;
        case CP_OEMCP:
            return kOemCodePage;
        case CP_THREAD_ACP:
            return t_threadCodePage;
        default:
            return codePage;
    }
}

int Fail(DWORD error) {
    SetLastError(error);
    return 0;
}

void AppendCodePoint(std::u16string& out, uint32_t cp) {
    if (cp > 0xFFFF) {
        cp -= 0x10000;
        out.push_back(static_cast<char16_t>(0xD800 + (cp >> 10)));
        out.push_back(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
    } else {
        out.push_back(static_cast<char16_t>(cp));
    }
}

// Decodes UTF-8, replacing each maximal invalid subsequence with U+FFFD.
// False on the first invalid sequence when `strict`.
bool DecodeUtf8(const unsigned char* s, size_t n, bool strict, std::u16string& out) {
    size_t i = 0;
    while (i < n) {
        const unsigned char b0 = s[i];
        if (b0 < 0x80) {
            out.push_back(b0);
            ++i;
            continue;
        }
        size_t need;
        unsigned char lo = 0x80, hi = 0xBF;  // the range of the first continuation byte
        uint32_t cp;
        if (b0 >= 0xC2 && b0 <= 0xDF) {
            need = 1;
            cp = b0 & 0x1F;
        } else if (b0 >= 0xE0 && b0 <= 0xEF) {
            need = 2;
            cp = b0 & 0x0F;
            if (b0 == 0xE0) lo = 0xA0;  // overlong
            if (b0 == 0xED) hi = 0x9F;  // surrogates
        } else if (b0 >= 0xF0 && b0 <= 0xF4) {
            need = 3;
            cp = b0 & 0x07;
            if (b0 == 0xF0) lo = 0x90;  // overlong
            if (b0 == 0xF4) hi = 0x8F;  // above U+10FFFF
        } else {
            if (strict) return false;
            out.push_back(kReplacement);
            ++i;
            continue;
        }
        size_t j = i + 1;
        bool complete = true;
        for (size_t k = 0; k < need; ++k, ++j) {
            const unsigned char lower = k == 0 ? lo : 0x80;
            const unsigned char upper = k == 0 ? hi : 0xBF;
            if (j >= n || s[j] < lower || s[j] > upper) {
                complete = false;
                break;
            }
            cp = cp << 6 | (s[j] & 0x3F);
        }
        if (!complete) {
            if (strict) return false;
            out.push_back(kReplacement);
        } else {
            AppendCodePoint(out, cp);
        }
        i = j;
    }
    return true;
}

bool EncodeUtf8(const char16_t* s, size_t n, bool strict, std::string& out) {
    for (size_t i = 0; i < n; ++i) {
        uint32_t cp = s[i];
        if (cp >= 0xD800 && cp <= 0xDBFF && i + 1 < n && s[i + 1] >= 0xDC00 && s[i + 1] <= 0xDFFF) {
            cp = 0x10000 + ((cp - 0xD800) << 10) + (s[i + 1] - 0xDC00);
            ++i;
        } else if (cp >= 0xD800 && cp <= 0xDFFF) {
            if (strict) return false;
            cp = kReplacement;
        }
        if (cp < 0x80) {
            out.push_back(static_cast<char>(cp));
        } else if (cp < 0x800) {
            out.push_back(static_cast<char>(0xC0 | cp >> 6));
            out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
        } else if (cp < 0x10000) {
            out.push_back(static_cast<char>(0xE0 | cp >> 12));
            out.push_back(static_cast<char>(0x80 | (cp >> 6 & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
        } else {
            out.push_back(static_cast<char>(0xF0 | cp >> 18));
            out.push_back(static_cast<char>(0x80 | (cp >> 12 & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (cp >> 6 & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
        }
    }
    return true;
}

bool DecodeLegacy(const Table& t, const unsigned char* s, size_t n, bool strict,
                  std::u16string& out) {
    for (size_t i = 0; i < n; ++i) {
        const unsigned char b = s[i];
        if (t.defined[b]) {
            out.push_back(t.single[b]);
        } else if (t.lead[b] && i + 1 < n && t.pairs[b * 256 + s[i + 1]] != 0) {
            out.push_back(t.pairs[b * 256 + s[i + 1]]);
            ++i;
        } else {
            // An undefined byte, or a lead byte without a valid trail byte; the byte
            // after such a lead byte is converted on its own.
            if (strict) return false;
            out.push_back(t.defaultUnicode);
        }
    }
    return true;
}

void EncodeLegacy(const Table& t, const char16_t* s, size_t n, const std::string& defaultChar,
                  bool& usedDefault, std::string& out) {
    for (size_t i = 0; i < n; ++i) {
        uint16_t encoded;
        if (s[i] < 128) {
            if (!t.lowDefined[s[i]]) {
                out += defaultChar;
                usedDefault = true;
                continue;
            }
            encoded = t.lowReverse[s[i]];
        } else {
            auto it = t.reverse.find(s[i]);
            if (it == t.reverse.end()) {
                out += defaultChar;
                usedDefault = true;
                continue;
            }
            encoded = it->second;
        }
        if (encoded > 0xFF) {
            out.push_back(static_cast<char>(encoded >> 8));
            out.push_back(static_cast<char>(encoded & 0xFF));
        } else {
            out.push_back(static_cast<char>(encoded));
        }
    }
}

// The default character: the first character of `given` (two bytes when it starts with
// a lead byte), or '?'.
std::string DefaultCharFor(const Table& t, LPCCH given) {
    if (given == nullptr || given[0] == 0) return "?";
    const unsigned char first = static_cast<unsigned char>(given[0]);
    if (t.doubleByte && t.lead[first] && given[1] != 0) return std::string(given, 2);
    return std::string(given, 1);
}

template <typename Unit>
int Deliver(const std::basic_string<Unit>& converted, Unit* target, int targetSize) {
    if (converted.size() > static_cast<size_t>(INT_MAX)) return Fail(ERROR_INVALID_PARAMETER);
    const int needed = static_cast<int>(converted.size());
    if (targetSize == 0) return needed;
    if (needed > targetSize) return Fail(ERROR_INSUFFICIENT_BUFFER);
    std::memcpy(target, converted.data(), converted.size() * sizeof(Unit));
    return needed;
}

// Text that is all ASCII, as font names mostly are, converted straight into a target
// that holds it: no intermediate string. False, with the target untouched, when a unit
// is not ASCII or its code page does not map it to one byte; the general path then
// converts it all (and a conversion that fails writes nothing).
bool DecodeAsciiInto(const Table* t, const unsigned char* s, size_t n, char16_t* target) {
    if (t == nullptr || t->asciiIsItself) {
        unsigned char any = 0;
        for (size_t i = 0; i < n; ++i) any |= s[i];
        if (any >= 0x80) return false;
        std::copy(s, s + n, target);
        return true;
    }
    for (size_t i = 0; i < n; ++i)
        if (s[i] >= 0x80 || (t != nullptr && !t->defined[s[i]])) return false;
    for (size_t i = 0; i < n; ++i) target[i] = t == nullptr ? s[i] : t->single[s[i]];
    return true;
}

bool EncodeAsciiInto(const Table* t, const char16_t* s, size_t n, char* target) {
    if (t == nullptr || t->asciiIsItself) {
        char16_t any = 0;
        for (size_t i = 0; i < n; ++i) any |= s[i];
        if (any >= 0x80) return false;
        for (size_t i = 0; i < n; ++i) target[i] = static_cast<char>(s[i]);
        return true;
    }
    for (size_t i = 0; i < n; ++i) {
        if (s[i] >= 0x80) return false;
        if (t != nullptr && (!t->lowDefined[s[i]] || t->lowReverse[s[i]] > 0xFF)) return false;
    }
    for (size_t i = 0; i < n; ++i)
        target[i] = static_cast<char>(t == nullptr ? s[i] : t->lowReverse[s[i]]);
    return true;
}

template <typename A, typename B>
bool Overlaps(const A* a, size_t aBytes, const B* b, size_t bBytes) {
    const auto pa = reinterpret_cast<uintptr_t>(a), pb = reinterpret_cast<uintptr_t>(b);
    return pa < pb + bBytes && pb < pa + aBytes;
}

}  // namespace

UINT GetACP(void) { return kSystemCodePage; }

BOOL EmuSetThreadCodePage(UINT codePage) {
    if (codePage != CP_UTF8 && TableFor(codePage) == nullptr) return FALSE;
    t_threadCodePage = codePage;
    return TRUE;
}

UINT EmuGetThreadCodePage(void) { return t_threadCodePage; }

int MultiByteToWideChar(UINT codePage, DWORD flags, LPCCH source, int sourceBytes, LPWSTR target,
                        int targetUnits) {
    if (source == nullptr || sourceBytes == 0 || sourceBytes < -1 || targetUnits < 0 ||
        (target == nullptr && targetUnits > 0))
        return Fail(ERROR_INVALID_PARAMETER);
    const size_t n = sourceBytes == -1 ? std::strlen(source) + 1 : static_cast<size_t>(sourceBytes);
    if (target != nullptr && targetUnits > 0 &&
        Overlaps(source, n, target, static_cast<size_t>(targetUnits) * sizeof(WCHAR)))
        return Fail(ERROR_INVALID_PARAMETER);
    const UINT cp = ResolveCodePage(codePage);
    const bool strict = (flags & MB_ERR_INVALID_CHARS) != 0;
    const auto* bytes = reinterpret_cast<const unsigned char*>(source);
    const Table* table = cp == CP_UTF8 ? nullptr : TableFor(cp);
    const DWORD allowed =
        cp == CP_UTF8 ? DWORD{MB_ERR_INVALID_CHARS} : DWORD{MB_PRECOMPOSED | MB_ERR_INVALID_CHARS};
    if ((cp == CP_UTF8 || table != nullptr) && (flags & ~allowed) == 0 && target != nullptr &&
        static_cast<size_t>(targetUnits) >= n && n <= static_cast<size_t>(INT_MAX) &&
        DecodeAsciiInto(table, bytes, n, target))
        return static_cast<int>(n);
    std::u16string out;
    out.reserve(n);  // a unit per byte at most
    if (cp == CP_UTF8) {
        if ((flags & ~DWORD{MB_ERR_INVALID_CHARS}) != 0) return Fail(ERROR_INVALID_FLAGS);
        if (!DecodeUtf8(bytes, n, strict, out)) return Fail(ERROR_NO_UNICODE_TRANSLATION);
    } else {
        if (table == nullptr) return Fail(ERROR_INVALID_PARAMETER);
        if ((flags & ~DWORD{MB_PRECOMPOSED | MB_ERR_INVALID_CHARS}) != 0)
            return Fail(ERROR_INVALID_FLAGS);
        if (!DecodeLegacy(*table, bytes, n, strict, out)) return Fail(ERROR_NO_UNICODE_TRANSLATION);
    }
    return Deliver(out, target, targetUnits);
}

int WideCharToMultiByte(UINT codePage, DWORD flags, LPCWCH source, int sourceUnits, LPSTR target,
                        int targetBytes, LPCCH defaultChar, LPBOOL usedDefaultChar) {
    if (source == nullptr || sourceUnits == 0 || sourceUnits < -1 || targetBytes < 0 ||
        (target == nullptr && targetBytes > 0))
        return Fail(ERROR_INVALID_PARAMETER);
    size_t n;
    if (sourceUnits == -1) {
        n = 0;
        while (source[n] != 0) ++n;
        ++n;
    } else {
        n = static_cast<size_t>(sourceUnits);
    }
    if (target != nullptr && targetBytes > 0 &&
        Overlaps(source, n * sizeof(WCHAR), target, static_cast<size_t>(targetBytes)))
        return Fail(ERROR_INVALID_PARAMETER);
    const UINT cp = ResolveCodePage(codePage);
    const Table* table = cp == CP_UTF8 ? nullptr : TableFor(cp);
    const DWORD allowed = cp == CP_UTF8 ? DWORD{WC_ERR_INVALID_CHARS} : DWORD{WC_NO_BEST_FIT_CHARS};
    const bool utf8Arguments =
        cp != CP_UTF8 || (defaultChar == nullptr && usedDefaultChar == nullptr);
    if ((cp == CP_UTF8 || table != nullptr) && utf8Arguments && (flags & ~allowed) == 0 &&
        target != nullptr && static_cast<size_t>(targetBytes) >= n &&
        n <= static_cast<size_t>(INT_MAX) && EncodeAsciiInto(table, source, n, target)) {
        if (usedDefaultChar != nullptr) *usedDefaultChar = FALSE;
        return static_cast<int>(n);
    }
    std::string out;
    out.reserve(n);
    if (cp == CP_UTF8) {
        if (defaultChar != nullptr || usedDefaultChar != nullptr)
            return Fail(ERROR_INVALID_PARAMETER);
        if ((flags & ~DWORD{WC_ERR_INVALID_CHARS}) != 0) return Fail(ERROR_INVALID_FLAGS);
        if (!EncodeUtf8(source, n, (flags & WC_ERR_INVALID_CHARS) != 0, out))
            return Fail(ERROR_NO_UNICODE_TRANSLATION);
    } else {
        if (table == nullptr) return Fail(ERROR_INVALID_PARAMETER);
        if ((flags & ~DWORD{WC_NO_BEST_FIT_CHARS}) != 0) return Fail(ERROR_INVALID_FLAGS);
        bool used = false;
        EncodeLegacy(*table, source, n, DefaultCharFor(*table, defaultChar), used, out);
        if (usedDefaultChar != nullptr) *usedDefaultChar = used ? TRUE : FALSE;
    }
    return Deliver(out, target, targetBytes);
}

// The code-page conversions on hostile text, both ways, against the Windows
// contract: the size a query answers is what a conversion writes, a buffer one
// unit short fails with ERROR_INSUFFICIENT_BUFFER and stays untouched, nothing
// is written past the buffer, a failure sets a documented error, and text
// converts back to itself wherever the conversion is defined to be lossless.
// The single-byte tables are also checked against iconv's own mapping.
#include <fuzzer/FuzzedDataProvider.h>
#include <iconv.h>

#include <cerrno>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "platform/emu/control.h"
#include "platform/win32.h"

namespace {

void Require(bool condition, const char* what) {
    if (!condition) {
        std::fprintf(stderr, "code-page conversion broke its contract: %s\n", what);
        std::abort();
    }
}

const UINT kCodePages[] = {CP_ACP, CP_OEMCP, CP_THREAD_ACP, CP_UTF8, 437,  850,  852,     866,
                           874,    932,      936,           949,     950,  1250, 1251,    1252,
                           1253,   1254,     1255,          1256,    1257, 1258, CP_UTF7, 42};

bool IsSingleByte(UINT cp) {
    return cp != CP_UTF8 && cp != 932 && cp != 936 && cp != 949 && cp != 950;
}
bool IsKnown(UINT cp) { return cp != CP_UTF7 && cp != 42; }

UINT Resolved(UINT cp) {
    switch (cp) {
        case CP_ACP:
            return 1252;
        case CP_OEMCP:
            return 437;
        case CP_THREAD_ACP:
            return EmuGetThreadCodePage();
        default:
            return cp;
    }
}

// What iconv, with its shift state flushed, makes of one byte of a single-byte
// code page: the one UTF-16 unit, or 0 when the byte is undefined there.
char16_t IconvByte(UINT cp, unsigned char byte) {
    static std::map<std::pair<UINT, unsigned char>, char16_t> cache;
    const auto key = std::make_pair(cp, byte);
    if (auto it = cache.find(key); it != cache.end()) return it->second;
    char name[32];
    std::snprintf(name, sizeof name, "CP%u", cp);
    iconv_t cd = iconv_open("UTF-32LE", name);
    if (cd == reinterpret_cast<iconv_t>(-1)) {
        std::snprintf(name, sizeof name, "WINDOWS-%u", cp);
        cd = iconv_open("UTF-32LE", name);
    }
    Require(cd != reinterpret_cast<iconv_t>(-1), "iconv knows the code page");
    char* in = reinterpret_cast<char*>(&byte);
    std::size_t inLeft = 1;
    std::uint32_t out[4] = {};
    char* outPtr = reinterpret_cast<char*>(out);
    std::size_t outLeft = sizeof out;
    char16_t unit = 0;
    if (iconv(cd, &in, &inLeft, &outPtr, &outLeft) != static_cast<std::size_t>(-1) &&
        iconv(cd, nullptr, nullptr, &outPtr, &outLeft) != static_cast<std::size_t>(-1) &&
        sizeof out - outLeft == sizeof(std::uint32_t) && out[0] <= 0xFFFF)
        unit = static_cast<char16_t>(out[0]);
    iconv_close(cd);
    return cache[key] = unit;
}

constexpr unsigned char kFill = 0xA5;

// One conversion towards UTF-16 with the size query first, the exact buffer,
// and a buffer one short. Returns false (and the error) when the query failed.
bool ToWide(UINT cp, DWORD flags, const std::string& bytes, int length, std::u16string* out,
            DWORD* error) {
    SetLastError(0);
    const int needed = MultiByteToWideChar(cp, flags, bytes.data(), length, nullptr, 0);
    if (needed == 0) {
        *error = GetLastError();
        Require(*error != 0, "a failed query sets an error");
        return false;
    }
    Require(needed > 0, "a query answers a positive size");
    // Exactly `needed` units on the heap, so that the sanitizer sees any write
    // past them; a guard after a copy in a larger block checks the same.
    std::vector<WCHAR> exact(static_cast<std::size_t>(needed));
    const int written = MultiByteToWideChar(cp, flags, bytes.data(), length, exact.data(), needed);
    Require(written == needed, "the conversion writes what the query answered");
    std::vector<WCHAR> guarded(static_cast<std::size_t>(needed) + 8);
    std::memset(guarded.data(), kFill, guarded.size() * sizeof(WCHAR));
    Require(MultiByteToWideChar(cp, flags, bytes.data(), length, guarded.data(), needed) == needed,
            "the conversion is repeatable");
    for (std::size_t i = static_cast<std::size_t>(needed); i < guarded.size(); ++i)
        Require(guarded[i] == static_cast<WCHAR>(kFill << 8 | kFill),
                "nothing written past the buffer");
    Require(std::memcmp(guarded.data(), exact.data(), exact.size() * sizeof(WCHAR)) == 0,
            "the same text both times");
    if (needed > 1) {
        std::vector<WCHAR> small(static_cast<std::size_t>(needed) - 1);
        std::memset(small.data(), kFill, small.size() * sizeof(WCHAR));
        SetLastError(0);
        Require(
            MultiByteToWideChar(cp, flags, bytes.data(), length, small.data(), needed - 1) == 0 &&
                GetLastError() == ERROR_INSUFFICIENT_BUFFER,
            "a buffer one short fails with ERROR_INSUFFICIENT_BUFFER");
        for (WCHAR w : small)
            Require(w == static_cast<WCHAR>(kFill << 8 | kFill), "a short buffer stays untouched");
    }
    out->assign(exact.begin(), exact.end());
    return true;
}

bool ToNarrow(UINT cp, DWORD flags, const std::u16string& text, int length, const char* defaultChar,
              bool askUsed, std::string* out, BOOL* usedDefault, DWORD* error) {
    BOOL used = 2;
    SetLastError(0);
    const int needed = WideCharToMultiByte(cp, flags, text.data(), length, nullptr, 0, defaultChar,
                                           askUsed ? &used : nullptr);
    if (needed == 0) {
        *error = GetLastError();
        Require(*error != 0, "a failed query sets an error");
        return false;
    }
    Require(needed > 0, "a query answers a positive size");
    std::vector<char> exact(static_cast<std::size_t>(needed));
    BOOL usedAgain = 2;
    Require(WideCharToMultiByte(cp, flags, text.data(), length, exact.data(), needed, defaultChar,
                                askUsed ? &usedAgain : nullptr) == needed,
            "the conversion writes what the query answered");
    Require(used == usedAgain, "the query and the conversion agree on the default character");
    if (askUsed) Require(used == TRUE || used == FALSE, "the default-character flag is set");
    std::vector<char> guarded(static_cast<std::size_t>(needed) + 8, static_cast<char>(kFill));
    Require(WideCharToMultiByte(cp, flags, text.data(), length, guarded.data(), needed, defaultChar,
                                nullptr) == needed,
            "the conversion is repeatable");
    for (std::size_t i = static_cast<std::size_t>(needed); i < guarded.size(); ++i)
        Require(guarded[i] == static_cast<char>(kFill), "nothing written past the buffer");
    Require(std::memcmp(guarded.data(), exact.data(), exact.size()) == 0,
            "the same text both times");
    if (needed > 1) {
        std::vector<char> small(static_cast<std::size_t>(needed) - 1, static_cast<char>(kFill));
        SetLastError(0);
        Require(WideCharToMultiByte(cp, flags, text.data(), length, small.data(), needed - 1,
                                    defaultChar, nullptr) == 0 &&
                    GetLastError() == ERROR_INSUFFICIENT_BUFFER,
                "a buffer one short fails with ERROR_INSUFFICIENT_BUFFER");
        for (char c : small)
            Require(c == static_cast<char>(kFill), "a short buffer stays untouched");
    }
    out->assign(exact.begin(), exact.end());
    *usedDefault = used;
    return true;
}

bool DocumentedError(DWORD error) {
    return error == ERROR_INVALID_PARAMETER || error == ERROR_INVALID_FLAGS ||
           error == ERROR_NO_UNICODE_TRANSLATION;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider in(data, size);
    const UINT cp =
        kCodePages[in.ConsumeIntegralInRange<std::size_t>(0, std::size(kCodePages) - 1)];
    const UINT threadCp = kCodePages[in.ConsumeIntegralInRange<std::size_t>(4, 21)];
    EmuSetThreadCodePage(threadCp);
    const std::uint8_t mode = in.ConsumeIntegral<std::uint8_t>();
    const bool wideSource = (mode & 4) != 0;
    const bool terminated = (mode & 8) != 0;  // length -1: up to and including a zero
    // Mostly the flags callers use; sometimes any.
    DWORD flags = 0;
    switch (mode & 3) {
        case 1:
            flags = wideSource ? WC_ERR_INVALID_CHARS : MB_ERR_INVALID_CHARS;
            break;
        case 2:
            flags = wideSource ? WC_NO_BEST_FIT_CHARS : MB_PRECOMPOSED;
            break;
        case 3:
            flags = in.ConsumeIntegral<DWORD>();
            break;
        default:
            break;
    }
    const UINT real = Resolved(cp);

    if (!wideSource) {
        std::string bytes = in.ConsumeRemainingBytesAsString();
        if (terminated) bytes.push_back('\0');
        if (bytes.empty()) return 0;
        const int length = terminated ? -1 : static_cast<int>(bytes.size());
        std::u16string wide;
        DWORD error = 0;
        if (!ToWide(cp, flags, bytes, length, &wide, &error)) {
            Require(DocumentedError(error), "a failure sets a documented error");
            Require(!IsKnown(real) || flags != 0, "flags 0 never fail on a known code page");
            return 0;
        }
        const std::size_t converted = terminated ? std::strlen(bytes.c_str()) + 1 : bytes.size();
        if (IsSingleByte(real)) {
            Require(wide.size() == converted, "one unit per byte in a single-byte code page");
            // The mapping is the code page's: what iconv says for a defined byte,
            // the byte's own value for an undefined one.
            for (std::size_t i = 0; i < converted; ++i) {
                const auto byte = static_cast<unsigned char>(bytes[i]);
                const char16_t expected = IconvByte(real, byte);
                Require(wide[i] == (expected != 0 || byte == 0 ? expected : char16_t{byte}),
                        "a byte maps to the code page's character");
            }
        }
        // Back again: a single-byte page gives every byte back; UTF-8 that was
        // valid gives itself back; a double-byte text gives back text that reads
        // the same (a character may have two spellings).
        std::string back;
        BOOL used = FALSE;
        DWORD backError = 0;
        const bool utf8 = real == CP_UTF8;
        const bool strictlyValid =
            utf8 &&
            MultiByteToWideChar(cp, MB_ERR_INVALID_CHARS, bytes.data(), length, nullptr, 0) != 0;
        if (!ToNarrow(cp, 0, wide, static_cast<int>(wide.size()), nullptr, !utf8, &back, &used,
                      &backError))
            Require(false, "converting back with flags 0 works");
        if (IsSingleByte(real)) {
            Require(used == FALSE && back == bytes.substr(0, converted),
                    "single-byte text round-trips");
        } else if (utf8) {
            if (strictlyValid)
                Require(back == bytes.substr(0, converted), "valid UTF-8 round-trips");
        } else if (used == FALSE) {
            std::u16string again;
            DWORD againError = 0;
            Require(ToWide(cp, 0, back, static_cast<int>(back.size()), &again, &againError) &&
                        again == wide,
                    "double-byte text reads the same after a round trip");
        }
        return 0;
    }

    // UTF-16 source: pairs of bytes, any units (unpaired surrogates, zeros).
    const std::string raw = in.ConsumeBytesAsString(in.remaining_bytes() & ~std::size_t{1});
    std::u16string text(raw.size() / 2, u'\0');
    std::memcpy(text.data(), raw.data(), raw.size());
    if (terminated) text.push_back(u'\0');
    if (text.empty()) return 0;
    const int length = terminated ? -1 : static_cast<int>(text.size());
    const char defaults[] = {"?\x81\x40"};
    const char* defaultChar = (mode & 16) ? defaults + ((mode >> 5) & 1) : nullptr;
    const bool askUsed = (mode & 64) != 0;
    std::string narrow;
    BOOL used = FALSE;
    DWORD error = 0;
    if (!ToNarrow(cp, flags, text, length, defaultChar, askUsed, &narrow, &used, &error)) {
        Require(DocumentedError(error), "a failure sets a documented error");
        return 0;
    }
    const std::size_t converted =
        terminated ? std::char_traits<char16_t>::length(text.c_str()) + 1 : text.size();
    bool lossless = askUsed && used == FALSE;
    if (real == CP_UTF8) {
        // UTF-8 holds every character; only an unpaired surrogate is lost.
        lossless = WideCharToMultiByte(cp, WC_ERR_INVALID_CHARS, text.data(), length, nullptr, 0,
                                       nullptr, nullptr) != 0;
    }
    if (!lossless) return 0;
    std::u16string back;
    DWORD backError = 0;
    Require(ToWide(cp, 0, narrow, static_cast<int>(narrow.size()), &back, &backError),
            "converting back with flags 0 works");
    Require(back == text.substr(0, converted), "text without a default character round-trips");
    return 0;
}

#include "platform/emu/bstr.h"

#include <atomic>
#include <cstdlib>

#include "counters.h"

namespace {

// The byte length sits in the 32 bits before the first unit; two zero bytes follow
// the last byte, so even an odd byte length is terminated.
constexpr size_t kPrefix = sizeof(uint32_t);
constexpr size_t kTerminator = sizeof(OLECHAR);
// The largest byte length whose allocation size still fits the 32-bit prefix's range.
constexpr uint64_t kMaxBytes = 0x7FFFFFFFull - kPrefix - kTerminator;

BSTR AllocateBytes(const void* source, uint64_t bytes) {
    if (bytes > kMaxBytes) return nullptr;
    auto* block = static_cast<unsigned char*>(std::malloc(kPrefix + bytes + kTerminator));
    if (block == nullptr) return nullptr;
    const uint32_t length = static_cast<uint32_t>(bytes);
    std::memcpy(block, &length, kPrefix);
    if (source != nullptr)
        std::memcpy(block + kPrefix, source, bytes);
    else
        std::memset(block + kPrefix, 0, bytes);
    std::memset(block + kPrefix + bytes, 0, kTerminator);
    emu::counters().liveBstrs.fetch_add(1);
    return reinterpret_cast<BSTR>(block + kPrefix);
}

size_t UnitLength(const OLECHAR* text) {
    size_t n = 0;
    while (text[n] != 0) ++n;
    return n;
}

}  // namespace

BSTR SysAllocString(const OLECHAR* text) {
    if (text == nullptr) return nullptr;
    return AllocateBytes(text, uint64_t{UnitLength(text)} * sizeof(OLECHAR));
}

BSTR SysAllocStringLen(const OLECHAR* text, UINT length) {
    return AllocateBytes(text, uint64_t{length} * sizeof(OLECHAR));
}

BSTR SysAllocStringByteLen(const char* bytes, UINT length) { return AllocateBytes(bytes, length); }

INT SysReAllocString(BSTR* target, const OLECHAR* text) {
    if (target == nullptr) return FALSE;
    BSTR fresh = SysAllocString(text);
    if (fresh == nullptr && text != nullptr) return FALSE;
    SysFreeString(*target);
    *target = fresh;
    return TRUE;
}

INT SysReAllocStringLen(BSTR* target, const OLECHAR* text, UINT length) {
    if (target == nullptr) return FALSE;
    BSTR fresh = SysAllocStringLen(text, length);
    if (fresh == nullptr) return FALSE;
    SysFreeString(*target);
    *target = fresh;
    return TRUE;
}

void SysFreeString(BSTR text) {
    if (text == nullptr) return;
    emu::counters().liveBstrs.fetch_sub(1);
    std::free(reinterpret_cast<unsigned char*>(text) - kPrefix);
}

UINT SysStringByteLen(BSTR text) {
    if (text == nullptr) return 0;
    uint32_t length;
    std::memcpy(&length, reinterpret_cast<const unsigned char*>(text) - kPrefix, kPrefix);
    return length;
}

UINT SysStringLen(BSTR text) { return SysStringByteLen(text) / sizeof(OLECHAR); }

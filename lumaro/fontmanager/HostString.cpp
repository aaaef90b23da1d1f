#include "fontmanager/HostString.h"

#include <cstring>

#include "fontmanager/TextConversion.h"
#include "frame/Suites.h"

namespace ai {

namespace {

void Check(ASErr error) {
    if (error != kNoErr) throw Error(error);
}

const AIUnicodeStringSuite6& Suite() {
    // Reaching a host string with the suite gone is the host's refusal.
    if (g_aiUnicodeString == nullptr) throw Error(kSuiteNotFoundErr);
    return *g_aiUnicodeString;
}

}  // namespace

HostString::HostString(const char* text, ASInt32 encoding) {
    if (text == nullptr) return;
    Check(Suite().Initialize(&m_string, text, static_cast<ASUInt32>(std::strlen(text)), encoding));
}

HostString::~HostString() {
    if (m_string.impl != nullptr && g_aiUnicodeString != nullptr) {
        g_aiUnicodeString->Destroy(&m_string);
    }
}

HostString& HostString::assign(const HostString& other) {
    Check(Suite().Assign(&m_string, &other.m_string));
    return *this;
}

HostString& HostString::erase(ASUInt32 position, ASUInt32 count) {
    Check(Suite().Erase(&m_string, position, count));
    return *this;
}

ASUInt32 HostString::GetUtf16(const ASUnicode** units) const {
    static const ASUnicode kEmpty[1] = {0};
    if (m_string.impl == nullptr || g_aiUnicodeString == nullptr) {
        *units = kEmpty;
        return 0;
    }
    const ASUInt32 length = g_aiUnicodeString->GetUtf16(&m_string, units);
    if (*units == nullptr) *units = kEmpty;
    return length;
}

ASUInt32 HostString::CopyUtf16(ASUnicode* buffer, ASUInt32 capacity) const {
    const ASUnicode* units = nullptr;
    const ASUInt32 needed = GetUtf16(&units) + 1;
    if (buffer == nullptr || capacity == 0) return needed;
    // Cut on whole characters: half a surrogate pair is no character at all.
    const std::size_t kept = WholeCharacterLength(units, needed - 1, capacity - 1);
    std::memcpy(buffer, units, kept * sizeof(ASUnicode));
    buffer[kept] = 0;
    return needed;
}

}  // namespace ai

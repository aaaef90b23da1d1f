// A string owned by the host through the Unicode string suite. Every
// operation that fails raises ai::Error with the suite's code.
#pragma once

#include <cstdint>

#include "fontmanager/AIError.h"
#include "hostapi/ai_unicode_string.h"

namespace ai {

class HostString {
public:
    HostString() = default;
    // A null text leaves the string empty and calls nothing.
    HostString(const char* text, ASInt32 encoding);
    ~HostString();
    HostString(const HostString&) = delete;
    HostString& operator=(const HostString&) = delete;

    HostString& assign(const HostString& other);
    // Position 0 and count 0xFFFFFFFF empty the string.
    HostString& erase(ASUInt32 position, ASUInt32 count);
    // The host's own units, valid until the string changes; never raises.
    ASUInt32 GetUtf16(const ASUnicode** units) const;
    // Copies at most capacity - 1 units, never half a surrogate pair, and a
    // terminator; returns the full length plus one, so a result above
    // capacity means the text was cut.
    ASUInt32 CopyUtf16(ASUnicode* buffer, ASUInt32 capacity) const;

    // What host calls take and fill.
    AIUnicodeString* Record() { return &m_string; }
    const AIUnicodeString* Record() const { return &m_string; }

private:
    AIUnicodeString m_string{nullptr};
};

}  // namespace ai

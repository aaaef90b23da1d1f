// Narrow text to and from the host's UTF-16.
#pragma once

#include <cstddef>
#include <string>

namespace host {

// Bytes in the calling thread's ANSI code page. Never fails: bytes the code page
// leaves undefined keep their value as code points.
std::u16string DecodeThreadAnsi(const char* text, std::size_t length);
// Invalid sequences become U+FFFD.
std::u16string DecodeUtf8(const char* text, std::size_t length);
// For printing; an unpaired surrogate becomes U+FFFD.
std::string EncodeUtf8(const std::u16string& text);

}  // namespace host

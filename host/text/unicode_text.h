// UTF-8 and UTF-16 for the simulated host's libraries: one place, on iconv.
#pragma once

#include <cstddef>
#include <string>

namespace host {

// Invalid sequences become U+FFFD.
std::u16string DecodeUtf8(const char* text, std::size_t length);
// For printing; an unpaired surrogate becomes U+FFFD.
std::string EncodeUtf8(const std::u16string& text);
// One code point; a surrogate, zero or a value past U+10FFFF becomes U+FFFD.
std::string EncodeCodePoint(char32_t codePoint);
// Big-endian UTF-16 bytes, as font files store names; a trailing odd byte is dropped.
std::u16string DecodeUtf16Be(const unsigned char* bytes, std::size_t length);

}  // namespace host

// Narrow text to and from the host's UTF-16.
#pragma once

#include <cstddef>
#include <string>

#include "host/text/unicode_text.h"

namespace host {

// Bytes in the calling thread's ANSI code page. Never fails: bytes the code page
// leaves undefined keep their value as code points.
std::u16string DecodeThreadAnsi(const char* text, std::size_t length);

}  // namespace host

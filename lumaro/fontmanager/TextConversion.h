// Narrow text in the calling thread's ANSI code page and UTF-16, both ways.
// The plug-in's std::wstring holds one UTF-16 unit per element everywhere.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "platform/win32.h"

// Converts text into scratch (capacity in units); scratch, terminated, or
// null for a null text, an oversized one or a failed conversion.
WCHAR* NarrowToWide(WCHAR* scratch, const char* text, int capacity);
// Converts text into scratch (capacity in bytes); scratch, terminated, or null.
char* WideToNarrow(char* scratch, const WCHAR* text, int capacity);

// The forms callers use: the scratch buffer is sized from what the
// conversion says it needs, so no code page can overflow or truncate it.
// Empty when the conversion fails.
std::wstring NarrowToWideString(const char* text);
// The same into `wide`, reusing its storage.
void AssignNarrowToWide(const char* text, std::wstring& wide);
std::string WideToNarrowString(std::wstring_view text);
// The same into `narrow`, reusing its storage.
void AssignWideToNarrow(std::wstring_view text, std::string& narrow);

// Between the plug-in's wide strings and 16-bit units, element by element.
std::basic_string<WCHAR> ToUnits(const std::wstring& text);
std::wstring FromUnits(const WCHAR* units, std::size_t length);
std::wstring FromUnits(const WCHAR* units);
// The same into `text`, reusing its storage.
void AssignUnits(const WCHAR* units, std::size_t length, std::wstring& text);

// How many of the first `length` UTF-16 units to keep when at most `limit` may
// stay: a cut that would leave the first half of a surrogate pair drops it too.
template <typename Unit>
std::size_t WholeCharacterLength(const Unit* units, std::size_t length, std::size_t limit) {
    if (length <= limit) return length;
    const auto isHigh = [](unsigned unit) { return unit >= 0xD800 && unit <= 0xDBFF; };
    const auto isLow = [](unsigned unit) { return unit >= 0xDC00 && unit <= 0xDFFF; };
    if (limit > 0 && isHigh(units[limit - 1]) && isLow(units[limit])) return limit - 1;
    return limit;
}

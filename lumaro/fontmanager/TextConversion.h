// Narrow text in the calling thread's ANSI code page and UTF-16, both ways.
// The plug-in's std::wstring holds one UTF-16 unit per element everywhere.
#pragma once

#include <string>

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
std::string WideToNarrowString(const std::wstring& text);

// Between the plug-in's wide strings and 16-bit units, element by element.
std::basic_string<WCHAR> ToUnits(const std::wstring& text);
std::wstring FromUnits(const WCHAR* units, std::size_t length);
std::wstring FromUnits(const WCHAR* units);

// The missing-font scan (LumaroDialog::ScanFonts) and the two pure steps it
// is built from, kept apart so that they can be checked on their own.
#pragma once

#include <string>

#include "fonts/FontItem.h"
#include "hostapi/ai_font.h"

struct FontTechnology {
    const char* technology;  // "OpenType", "TrueType", ... or empty
    const char* outlines;    // "TT outlines" or "CFF outlines" for OpenType, else empty
};

// The first rule that applies: OpenType, bitmap, CID-keyed, OCF, ATC, then
// the technology code (1 TrueType, 0 Type 1); otherwise both empty.
FontTechnology ClassifyFontTechnology(const AIFontInfo& info);

// A missing font's row is "* " and its narrow name; any other font shows its
// full name in the thread's ANSI code page, at most 1023 bytes.
std::string FontRowText(const CFontItem& item);
// The same into `text`, reusing its storage.
void AssignFontRowText(const CFontItem& item, std::string& text);

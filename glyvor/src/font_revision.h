// A font's revision as both font-file readers tell it.
#pragma once

#include <cstdint>
#include <string_view>

#include "glyvor/font_entry.h"

namespace glyvor {

// The 'head' table's fontRevision, a 16.16 fixed-point number, rounded to
// thousandths (0x000307AE, 3.03, is 3030); 0 for a negative one.
FontRevision RevisionFromFixed(std::int32_t fixed);

// A Type 1 font's version string ("001.005", "1.10"): 1005, 1100 (places
// past the third are dropped). 0 when it does not start with a number.
FontRevision RevisionFromText(std::string_view version);

}  // namespace glyvor

// Command lines as CommandLineToArgvW and the C runtime read them back.
#pragma once

#include <string>

namespace glyvor {

// `argument` in double quotes, with quotes and the backslashes before them escaped.
std::wstring QuoteArgument(const std::wstring& argument);

}  // namespace glyvor

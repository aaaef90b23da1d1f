// Calls the module has received, per dispatch identifier.
#pragma once

#include "platform/win32.h"

namespace glyvor {

void CountInvoke(DISPID member);

}  // namespace glyvor

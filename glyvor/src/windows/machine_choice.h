// The machine folder this process last registered, unregistered or chose, for
// RunningGlyvor (server.h).
#pragma once

#include <string>

namespace glyvor {

std::string ChosenMachine();

}  // namespace glyvor

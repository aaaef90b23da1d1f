// The machine folder as the platform layer knows it (the emulation's on POSIX,
// the host's own on Windows); empty when none is set.
#pragma once

#include <string>

namespace host {
std::string PlatformMachineFolder();
}  // namespace host

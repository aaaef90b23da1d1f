// The platform layer's services the host uses, in one place: the emulation's on
// POSIX (platform_bridge_emulated.cpp), Windows' own on Windows
// (platform_bridge_windows.cpp).
#pragma once

#include <string>

#include "host/platform_machine.h"

namespace host {
class Host;
namespace detail {
// Routes the plug-in's debug assertions to the host's event log; null removes it.
void InstallAssertionSink(Host* host);
// Tells the platform layer (class registry and the like) where the machine lives.
void SetPlatformMachineFolder(const std::string& folder);
// Initialises COM on the calling thread as a single-threaded apartment; true when
// LeaveApartment must undo it.
bool EnterApartment();
void LeaveApartment();
}  // namespace detail
}  // namespace host

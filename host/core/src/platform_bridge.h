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
// The font manager's automation calls the platform has seen so far; 0 where it
// sees none (Windows: the calls go to another process).
unsigned long AutomationCallCount();
// The `call`-th automation call from now fails with `hr` (0 turns it off); or every
// call from the `call`-th on fails as when the font manager has died. False where
// the platform cannot cause it.
bool FailAutomationCall(unsigned long call, long hr);
bool KillFontManagerAt(unsigned long call);
}  // namespace detail
}  // namespace host

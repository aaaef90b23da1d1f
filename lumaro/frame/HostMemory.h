// The plug-in's memory, which always comes from the host's basic suite.
#pragma once

#include <cstddef>

// Null when the host refuses or no basic suite is known; never throws.
void* PluginAlloc(std::size_t size) noexcept;
// Null, or no basic suite, does nothing.
void PluginFree(void* block) noexcept;

#pragma once

namespace host {
class Host;
namespace detail {
// Routes the platform layer's assertion reports to the host's event log; null removes it.
void InstallAssertionSink(Host* host);
}  // namespace detail
}  // namespace host

// What the dialog manager needs from the rest of the host: the resources of
// the plug-in that asks, and a way to call into a plug-in on its behalf.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "hostapi/types.h"

namespace host::adm {

// A resource type: a number (5 for DIALOG) or a name ("PNGI").
struct ResourceType {
    std::uint16_t number = 0;
    std::string name;

    static ResourceType Number(std::uint16_t n) { return {n, {}}; }
    static ResourceType Named(std::string s) { return {0, std::move(s)}; }
};

constexpr std::uint16_t kDialogResourceType = 5;
inline constexpr char kIconResourceType[] = "PNGI";

class PluginEnvironment {
public:
    virtual ~PluginEnvironment() = default;
    // The bytes of resource `id` of the given type in the plug-in's module,
    // or nothing when the module has no such resource.
    virtual std::optional<std::vector<std::uint8_t>> FindResource(SPPluginRef plugin,
                                                                  const ResourceType& type,
                                                                  std::int32_t id) = 0;
    // Runs `call`, which enters the plug-in's code, marked as work for that
    // plug-in.
    virtual void CallPlugin(SPPluginRef plugin, const std::function<void()>& call) {
        (void)plugin;
        call();
    }
    // Something a plug-in did wrong that the dialog manager noticed and
    // ignored (a stale reference, an impossible request).
    virtual void Report(const std::string& problem) { (void)problem; }
};

}  // namespace host::adm

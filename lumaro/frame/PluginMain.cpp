// The one entry point the host calls.
#include <cstring>
#include <new>
#include <type_traits>

#include "fontmanager/AIError.h"
#include "frame/CallUnderWay.h"
#include "frame/Plugin.h"
#include "frame/Suites.h"
#include "hostapi/messages.h"

#ifdef _WIN32
#define LUMARO_EXPORT __declspec(dllexport)
#else
#define LUMARO_EXPORT __attribute__((visibility("default")))
#endif

namespace {

// Start-up, shutdown and reload run outside the dispatcher's handler, so
// whatever they throw is stopped here: no exception may unwind into the host.
template <typename Call>
ASErr Guarded(Call call) {
    try {
        return call();
    } catch (const ai::Error& error) {
        return error.Code() != kNoErr ? error.Code() : kCantHappenErr;
    } catch (const std::bad_alloc&) {
        return kCantHappenErr;
    } catch (...) {
        return kCantHappenErr;
    }
}

ASErr Startup(SPMessageData* message) {
    Plugin* plugin = CreatePluginObject(message->self);
    if (plugin == nullptr) {
        ShowErrorAlert(message->self, kOutOfMemoryErr);
        return kOutOfMemoryErr;
    }
    message->globals = plugin;
    const ASErr error = Guarded([&] { return plugin->OnStartup(message); });
    if (error != kNoErr) {
        // A start-up that failed after binding must not leave g_Plugin pointing at freed memory.
        Guarded([&] { return plugin->BindGlobal(nullptr); });
        delete plugin;
        message->globals = nullptr;
        ShowErrorAlert(message->self, error);
    }
    return error;
}

bool Is(const char* text, const char* expected) { return std::strcmp(text, expected) == 0; }

ASErr Shutdown(SPMessageData* message, Plugin* plugin) {
    const ASErr error = Guarded([&] { return plugin->OnShutdown(message); });
    if (error != kNoErr) Guarded([&] { return plugin->BindGlobal(nullptr); });
    delete plugin;
    message->globals = nullptr;
    if (error != kNoErr) ShowErrorAlert(message->self, error);
    return error;
}

}  // namespace

extern "C" LUMARO_EXPORT ASErr HOSTAPI PluginMain(const char* caller, const char* selector,
                                                  void* message) {
    auto* data = static_cast<SPMessageData*>(message);
    g_spBasic = data->basic;
    auto* plugin = static_cast<Plugin*>(data->globals);
    ASErr error = kNoErr;

    // Refused rather than put off: a host that is answered success unloads the code,
    // which is still running further up the stack.
    const bool nested = CallUnderWay::Any();
    const CallUnderWay running;
    if (nested && ((Is(caller, kSPInterfaceCaller) && Is(selector, kSPInterfaceShutdownSelector)) ||
                   (Is(caller, kSPAccessCaller) && Is(selector, kSPAccessUnloadSelector)))) {
        return kBadParameterErr;
    }

    if (std::strcmp(caller, kSPInterfaceCaller) == 0) {
        // A second start-up (the host asked twice) keeps the object it started.
        if (std::strcmp(selector, kSPInterfaceStartupSelector) == 0 && plugin == nullptr) {
            error = Startup(data);
            if (error != kNoErr) return error;
            plugin = static_cast<Plugin*>(data->globals);
        } else if (std::strcmp(selector, kSPInterfaceShutdownSelector) == 0) {
            if (plugin == nullptr) return kNoErr;
            return Shutdown(data, plugin);
        }
    }

    if (plugin == nullptr) return kNoErr;

    if (IsReloadMessage(caller, selector)) {
        RebindPluginObject(plugin);
        error = Guarded([&] { return plugin->OnReload(data); });
    } else {
        if (plugin->Suites() == nullptr) return kNoErr;
        error = Guarded([&] { return plugin->DispatchMessage(caller, selector, message); });
    }

    if (error == kUnhandledMsgErr || error == kNoErr) return kNoErr;
    Guarded([&] { return plugin->ReportMessageError(error, caller, selector, message); });
    return error;
}

bool IsReloadMessage(const char* caller, const char* selector) {
    return std::strcmp(caller, kSPAccessCaller) == 0 &&
           std::strcmp(selector, kSPAccessReloadSelector) == 0;
}

// The host calls the entry through this type: a convention that differs fails here.
static_assert(std::is_same_v<decltype(&PluginMain), PluginMainProc>);

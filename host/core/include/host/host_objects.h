// The host's records behind the opaque handles of the suites. The plug-in only ever
// holds pointers to them; the host checks every pointer it is given against its own
// records before using it.
#pragma once

#include <string>

#include "hostapi/types.h"

namespace host {
class LoadedPlugin;
}

// A notifier registration (AINotifierHandle).
struct AINotifier {
    host::LoadedPlugin* plugin = nullptr;
    std::string name;
    std::string type;
    bool active = true;
};

struct AIMenuItem;

// A menu group (AIMenuGroup). Groups of the host's own have no owner.
struct AIMenuGroupData {
    std::string name;
    ASInt32 options = 0;
    AIMenuItem* parentItem = nullptr;  // set for a submenu
    host::LoadedPlugin* owner = nullptr;
};

// A menu item (AIMenuItemHandle).
struct AIMenuItem {
    host::LoadedPlugin* plugin = nullptr;
    std::string keyName;  // empty when added without one
    std::string group;
    std::u16string text;
    ASInt32 options = 0;
    bool enabled = true;
    bool checked = false;
    AIMenuGroupData* submenu = nullptr;
};

// A host string (AIUnicodeStringImpl).
struct AIUnicodeStringData {
    std::u16string text;
    host::LoadedPlugin* owner = nullptr;
};

// A pushed application context (AIAppContextHandle).
struct AIAppContext {
    host::LoadedPlugin* plugin = nullptr;
    unsigned long serial = 0;
};

// A plug-in held loaded (SPAccessRef).
struct SPAccess {
    host::LoadedPlugin* plugin = nullptr;
};

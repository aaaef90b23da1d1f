#include "frame/MenuGroups.h"

#include <cstring>

#include "fontmanager/HostString.h"
#include "frame/Suites.h"

ASErr AddMenuItem(SPPluginRef pluginRef, const char* keyName, const char* groupName,
                  const char* text, ASInt32 options, AIMenuItemHandle* item) {
    ai::HostString itemText(text, kAIPlatformCharacterEncoding);
    AIPlatformAddMenuItemDataUS data{groupName, *itemText.Record()};
    return g_aiMenu->AddMenuItem(pluginRef, keyName, &data, options, item);
}

ASErr FindOrCreateMenuGroup(SPPluginRef pluginRef, const char* groupName, const char* parentGroup,
                            const char* text) {
    ASInt32 count = 0;
    if (ASErr error = g_aiMenu->CountMenuGroups(&count)) return error;
    for (ASInt32 n = count - 1; n >= 0; --n) {
        AIMenuGroup group = nullptr;
        const char* name = nullptr;
        if (ASErr error = g_aiMenu->GetNthMenuGroup(n, &group)) return error;
        if (ASErr error = g_aiMenu->GetMenuGroupName(group, &name)) return error;
        if (name != nullptr && std::strcmp(name, groupName) == 0) return kNoErr;
    }
    AIMenuItemHandle item = nullptr;
    if (AddMenuItem(pluginRef, groupName, parentGroup, text, 0, &item) == kNoErr) {
        AIMenuGroup group = nullptr;
        g_aiMenu->AddMenuGroupAsSubMenu(groupName, kMenuGroupSortedAlphabeticallyOption, item,
                                        &group);
    }
    return kNoErr;
}

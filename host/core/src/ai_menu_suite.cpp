#include "host/current_plugin.h"
#include "host/host.h"
#include "suite_tables.h"

namespace host::detail {

namespace {

Host* ValidItem(AIMenuItemHandle item) {
    Host* host = Host::Current();
    return host != nullptr && host->Menu().Contains(item) ? host : nullptr;
}

std::u16string TextOf(Host& host, const AIUnicodeString& string) {
    return host.Strings().Contains(string.impl) ? string.impl->text : std::u16string();
}

ASErr HOSTAPI AddMenuItem(SPPluginRef self, const char* keyName, AIPlatformAddMenuItemDataUS* data,
                          ASInt32 options, AIMenuItemHandle* menuItem) {
    Host* host = Host::Current();
    if (menuItem != nullptr) *menuItem = nullptr;
    if (host == nullptr || data == nullptr || data->groupName == nullptr) return kBadParameterErr;
    LoadedPlugin* p = host->FromRef(self);
    if (p == nullptr) return kBadParameterErr;
    AIMenuItem* item = nullptr;
    const ASErr error = host->Menu().AddItem(p, keyName, data->groupName,
                                             TextOf(*host, data->itemText), options, &item);
    if (error != kNoErr) {
        host->Events().Add(EventKind::Registration, p->Name(), "menu item refused",
                           std::string("group \"") + data->groupName + "\" does not exist");
        return error;
    }
    if (menuItem != nullptr) *menuItem = item;
    host->Events().Add(
        EventKind::Registration, p->Name(), "menu item",
        (keyName ? std::string(keyName) : std::string("(no key)")) + " in " + data->groupName);
    return kNoErr;
}

ASErr HOSTAPI GetMenuItemKeyName(AIMenuItemHandle menuItem, const char** keyName) {
    if (ValidItem(menuItem) == nullptr || keyName == nullptr) return kBadParameterErr;
    *keyName = menuItem->keyName.c_str();
    return kNoErr;
}

ASErr HOSTAPI SetItemText(AIMenuItemHandle menuItem, const AIUnicodeString* text) {
    Host* host = ValidItem(menuItem);
    if (host == nullptr || text == nullptr) return kBadParameterErr;
    if (text->impl != nullptr && !host->Strings().Contains(text->impl)) return kBadParameterErr;
    menuItem->text = TextOf(*host, *text);
    return kNoErr;
}

ASErr HOSTAPI GetItemText(AIMenuItemHandle menuItem, AIUnicodeString* text) {
    Host* host = ValidItem(menuItem);
    if (host == nullptr || text == nullptr) return kBadParameterErr;
    if (host->Strings().Contains(text->impl)) {
        text->impl->text = menuItem->text;
    } else {
        text->impl = host->Strings().Create(CurrentPluginScope::Current(), menuItem->text);
    }
    return kNoErr;
}

ASErr HOSTAPI EnableItem(AIMenuItemHandle menuItem) {
    if (ValidItem(menuItem) == nullptr) return kBadParameterErr;
    menuItem->enabled = true;
    return kNoErr;
}

ASErr HOSTAPI DisableItem(AIMenuItemHandle menuItem) {
    if (ValidItem(menuItem) == nullptr) return kBadParameterErr;
    menuItem->enabled = false;
    return kNoErr;
}

ASErr HOSTAPI CheckItem(AIMenuItemHandle menuItem, ASBoolean checked) {
    if (ValidItem(menuItem) == nullptr) return kBadParameterErr;
    menuItem->checked = checked != 0;
    return kNoErr;
}

ASErr HOSTAPI AddMenuGroup(const char* name, ASInt32 options, const char*, AIMenuGroup* group) {
    Host* host = Host::Current();
    if (group != nullptr) *group = nullptr;
    if (host == nullptr || name == nullptr) return kBadParameterErr;
    const ASErr error = host->Menu().AddGroup(CurrentPluginScope::Current(), name, options, group);
    if (error == kNoErr)
        host->Events().Add(EventKind::Registration, host->CurrentName(), "menu group", name);
    return error;
}

ASErr HOSTAPI AddMenuGroupAsSubMenu(const char* name, ASInt32 options, AIMenuItemHandle menuItem,
                                    AIMenuGroup* group) {
    Host* host = Host::Current();
    if (group != nullptr) *group = nullptr;
    if (host == nullptr || name == nullptr) return kBadParameterErr;
    const ASErr error =
        host->Menu().AddSubMenuGroup(CurrentPluginScope::Current(), name, options, menuItem, group);
    if (error == kNoErr)
        host->Events().Add(EventKind::Registration, host->CurrentName(), "submenu group", name);
    return error;
}

ASErr HOSTAPI GetMenuGroupName(AIMenuGroup group, const char** name) {
    Host* host = Host::Current();
    if (host == nullptr || name == nullptr || !host->Menu().Contains(group))
        return kBadParameterErr;
    *name = group->name.c_str();
    return kNoErr;
}

ASErr HOSTAPI CountMenuGroups(ASInt32* count) {
    Host* host = Host::Current();
    if (host == nullptr || count == nullptr) return kBadParameterErr;
    *count = static_cast<ASInt32>(host->Menu().Groups().size());
    return kNoErr;
}

ASErr HOSTAPI GetNthMenuGroup(ASInt32 n, AIMenuGroup* group) {
    Host* host = Host::Current();
    if (host == nullptr || group == nullptr) return kBadParameterErr;
    host->Menu().CountGroupAskedByIndex();
    const auto groups = host->Menu().Groups();
    if (n < 0 || static_cast<std::size_t>(n) >= groups.size()) return kBadParameterErr;
    *group = groups[static_cast<std::size_t>(n)];
    return kNoErr;
}

ASErr HOSTAPI CountMenuItems(ASInt32* count) {
    Host* host = Host::Current();
    if (host == nullptr || count == nullptr) return kBadParameterErr;
    *count = static_cast<ASInt32>(host->Menu().Items().size());
    return kNoErr;
}

ASErr HOSTAPI GetNthMenuItem(ASInt32 n, AIMenuItemHandle* menuItem) {
    Host* host = Host::Current();
    if (host == nullptr || menuItem == nullptr) return kBadParameterErr;
    const auto items = host->Menu().Items();
    if (n < 0 || static_cast<std::size_t>(n) >= items.size()) return kBadParameterErr;
    *menuItem = items[static_cast<std::size_t>(n)];
    return kNoErr;
}

ASErr HOSTAPI GetMenuItemPlugin(AIMenuItemHandle menuItem, SPPluginRef* plugin) {
    if (ValidItem(menuItem) == nullptr || plugin == nullptr) return kBadParameterErr;
    *plugin = menuItem->plugin != nullptr ? menuItem->plugin->Ref() : nullptr;
    return kNoErr;
}

const AIMenuSuite9 g_menu = {
    AddMenuItem,     GetMenuItemKeyName, SetItemText,    GetItemText,           EnableItem,
    DisableItem,     CheckItem,          AddMenuGroup,   AddMenuGroupAsSubMenu, GetMenuGroupName,
    CountMenuGroups, GetNthMenuGroup,    CountMenuItems, GetNthMenuItem,        GetMenuItemPlugin,
};

}  // namespace

void RegisterMenuSuite(SuiteRegistry& registry) {
    registry.Register(kAIMenuSuite, kAIMenuSuiteVersion, &g_menu);
}

}  // namespace host::detail

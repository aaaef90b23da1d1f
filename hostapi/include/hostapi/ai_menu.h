// The host's menus: groups, items and submenus.
#pragma once

#include "hostapi/ai_unicode_string.h"
#include "hostapi/messages.h"
#include "hostapi/types.h"

inline constexpr char kAIMenuSuite[] = "AI Menu Suite";
constexpr ASInt32 kAIMenuSuiteVersion = 9;

using AIMenuGroup = struct AIMenuGroupData*;

// The host's own groups.
inline constexpr char kAboutMenuGroup[] = "About";
inline constexpr char kToolPalettesMenuGroup[] = "Tool Palettes";

// Item options: the host sends "AI Update" before showing an item added with this.
constexpr ASInt32 kMenuItemWantsUpdateOption = 1;
// Group options.
constexpr ASInt32 kMenuGroupSortedAlphabeticallyOption = 1;

// What goes into AddMenuItem: the group that receives the item and its text.
struct AIPlatformAddMenuItemDataUS {
    const char* groupName;
    AIUnicodeString itemText;
};

struct AIMenuSuite9 {
    // keyName may be null; the host copies everything it is given.
    ASErr(HOSTAPI* AddMenuItem)(SPPluginRef self, const char* keyName,
                                AIPlatformAddMenuItemDataUS* data, ASInt32 options,
                                AIMenuItemHandle* menuItem);
    ASErr(HOSTAPI* GetMenuItemKeyName)(AIMenuItemHandle menuItem, const char** keyName);
    ASErr(HOSTAPI* SetItemText)(AIMenuItemHandle menuItem, const AIUnicodeString* text);
    // text must have been initialised by the caller; the host assigns into it.
    ASErr(HOSTAPI* GetItemText)(AIMenuItemHandle menuItem, AIUnicodeString* text);
    ASErr(HOSTAPI* EnableItem)(AIMenuItemHandle menuItem);
    ASErr(HOSTAPI* DisableItem)(AIMenuItemHandle menuItem);
    ASErr(HOSTAPI* CheckItem)(AIMenuItemHandle menuItem, ASBoolean checked);
    ASErr(HOSTAPI* AddMenuGroup)(const char* name, ASInt32 options, const char* nearGroup,
                                 AIMenuGroup* group);
    // Makes a new group the submenu of menuItem.
    ASErr(HOSTAPI* AddMenuGroupAsSubMenu)(const char* name, ASInt32 options,
                                          AIMenuItemHandle menuItem, AIMenuGroup* group);
    // The name stays owned by the host.
    ASErr(HOSTAPI* GetMenuGroupName)(AIMenuGroup group, const char** name);
    ASErr(HOSTAPI* CountMenuGroups)(ASInt32* count);
    // n is 0-based.
    ASErr(HOSTAPI* GetNthMenuGroup)(ASInt32 n, AIMenuGroup* group);
    ASErr(HOSTAPI* CountMenuItems)(ASInt32* count);
    ASErr(HOSTAPI* GetNthMenuItem)(ASInt32 n, AIMenuItemHandle* menuItem);
    ASErr(HOSTAPI* GetMenuItemPlugin)(AIMenuItemHandle menuItem, SPPluginRef* plugin);
};

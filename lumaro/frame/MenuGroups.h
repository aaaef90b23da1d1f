// Menu groups that several plug-ins of one maker share.
#pragma once

#include "hostapi/ai_menu.h"

// Finds the group by name, searching from the host's last group to its
// first; when it is missing, adds an item {parentGroup, text} keyed by the
// group's name with the group as its submenu. Errors of the two adding calls
// are ignored (callers add their items to the group name either way); an
// error of the search is returned.
ASErr FindOrCreateMenuGroup(SPPluginRef pluginRef, const char* groupName, const char* parentGroup,
                            const char* text);

// Adds an item to a group; the text is plain ASCII in the platform encoding.
ASErr AddMenuItem(SPPluginRef pluginRef, const char* keyName, const char* groupName,
                  const char* text, ASInt32 options, AIMenuItemHandle* item);

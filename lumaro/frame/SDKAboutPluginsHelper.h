// One About item per plug-in under an About group that all plug-ins of the
// maker share, and the About box behind it. Lives for one call and holds its
// own suites only during that call.
#pragma once

#include "hostapi/suites.h"

class SDKAboutPluginsHelper {
public:
    SDKAboutPluginsHelper();
    virtual ~SDKAboutPluginsHelper();
    SDKAboutPluginsHelper(const SDKAboutPluginsHelper&) = delete;
    SDKAboutPluginsHelper& operator=(const SDKAboutPluginsHelper&) = delete;

    // groupText is the visible text of the shared group's item under "About".
    ASErr AddAboutItem(SPMessageData* message, const char* groupName, const char* groupText,
                       const char* itemText, AIMenuItemHandle* item);
    ASErr FindMenuGroup(const char* groupName, bool* found);
    void ShowAboutBox(SPMessageData* message, const char* title, const char* text);

private:
    ASErr AddItem(SPPluginRef pluginRef, const char* groupName, const char* text,
                  AIMenuItemHandle* item);

    const AIMenuSuite9* m_menuSuite;
    const ADMBasicSuite10* m_basicSuite;
};

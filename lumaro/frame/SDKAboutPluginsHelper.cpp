#include "frame/SDKAboutPluginsHelper.h"

#include <cstring>

#include "fontmanager/HostString.h"

SDKAboutPluginsHelper::SDKAboutPluginsHelper() : m_menuSuite(nullptr), m_basicSuite(nullptr) {}

SDKAboutPluginsHelper::~SDKAboutPluginsHelper() = default;

ASErr SDKAboutPluginsHelper::AddItem(SPPluginRef pluginRef, const char* groupName, const char* text,
                                     AIMenuItemHandle* item) {
    ai::HostString itemText(text, kAIPlatformCharacterEncoding);
    AIPlatformAddMenuItemDataUS data{groupName, *itemText.Record()};
    return m_menuSuite->AddMenuItem(pluginRef, nullptr, &data, 0, item);
}

ASErr SDKAboutPluginsHelper::AddAboutItem(SPMessageData* message, const char* groupName,
                                          const char* groupText, const char* itemText,
                                          AIMenuItemHandle* item) {
    SPBasicSuite* basic = message->basic;
    ASErr error = kNoErr;
    if (m_menuSuite == nullptr) {
        const void* suite = nullptr;
        error = basic->AcquireSuite(kAIMenuSuite, kAIMenuSuiteVersion, &suite);
        m_menuSuite = static_cast<const AIMenuSuite9*>(suite);
    }
    if (error == kNoErr && m_menuSuite == nullptr) return kNoErr;

    // The suite goes back to the host on every way out, exceptions included.
    try {
        bool found = false;
        if (error == kNoErr) error = FindMenuGroup(groupName, &found);
        if (error == kNoErr && !found) {
            AIMenuItemHandle groupItem = nullptr;
            error = AddItem(message->self, kAboutMenuGroup, groupText, &groupItem);
            if (error == kNoErr) {
                AIMenuGroup group = nullptr;
                error = m_menuSuite->AddMenuGroupAsSubMenu(
                    groupName, kMenuGroupSortedAlphabeticallyOption, groupItem, &group);
            }
        }
        if (error == kNoErr) {
            AIMenuItemHandle added = nullptr;
            error = AddItem(message->self, groupName, itemText, &added);
            if (error == kNoErr && item != nullptr) *item = added;
        }
    } catch (...) {
        if (m_menuSuite != nullptr) basic->ReleaseSuite(kAIMenuSuite, kAIMenuSuiteVersion);
        m_menuSuite = nullptr;
        throw;
    }

    if (m_menuSuite != nullptr) {
        basic->ReleaseSuite(kAIMenuSuite, kAIMenuSuiteVersion);
        m_menuSuite = nullptr;
    }
    return error;
}

ASErr SDKAboutPluginsHelper::FindMenuGroup(const char* groupName, bool* found) {
    *found = false;
    ASInt32 count = 0;
    if (ASErr error = m_menuSuite->CountMenuGroups(&count)) return error;
    if (count <= 0) return kNoErr;
    for (ASInt32 n = 0; n < count; ++n) {
        AIMenuGroup group = nullptr;
        const char* name = nullptr;
        if (ASErr error = m_menuSuite->GetNthMenuGroup(n, &group)) return error;
        if (ASErr error = m_menuSuite->GetMenuGroupName(group, &name)) return error;
        if (name != nullptr && std::strcmp(name, groupName) == 0) {
            *found = true;
            return kNoErr;
        }
    }
    return kNoErr;
}

void SDKAboutPluginsHelper::ShowAboutBox(SPMessageData* message, const char* title,
                                         const char* text) {
    SPBasicSuite* basic = message->basic;
    if (m_basicSuite == nullptr) {
        const void* suite = nullptr;
        if (basic->AcquireSuite(kADMBasicSuite, kADMBasicSuiteVersion10, &suite) == kNoErr) {
            m_basicSuite = static_cast<const ADMBasicSuite10*>(suite);
        }
    }
    if (m_basicSuite == nullptr) return;
    m_basicSuite->TitledAlert(title, text);
    basic->ReleaseSuite(kADMBasicSuite, kADMBasicSuiteVersion10);
    m_basicSuite = nullptr;
}

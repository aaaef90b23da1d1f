// Another plug-in of the same maker: it makes the maker's shared window group
// ("CorvaneSoftwareWindowGroup" under "Tool Palettes") with an item of its own,
// as a sibling product would before Lumaro starts. Built with SIBLING_LEAKS, it
// leaves a block allocated at shutdown.
#include <cstring>

#include "hostapi/suites.h"

#define SIBLING_EXPORT extern "C" __attribute__((visibility("default")))

namespace {

SPBasicSuite* g_basic = nullptr;
const AIMenuSuite9* g_menu = nullptr;
const AIUnicodeStringSuite6* g_strings = nullptr;

void ReleaseSuites() {
    if (g_menu != nullptr) g_basic->ReleaseSuite(kAIMenuSuite, kAIMenuSuiteVersion);
    if (g_strings != nullptr)
        g_basic->ReleaseSuite(kAIUnicodeStringSuite, kAIUnicodeStringSuiteVersion);
    g_menu = nullptr;
    g_strings = nullptr;
}

ASErr AddItem(SPPluginRef self, const char* key, const char* group, const char* text,
              AIMenuItemHandle* item) {
    AIPlatformAddMenuItemDataUS data{group, {nullptr}};
    ASErr error =
        g_strings->Initialize(&data.itemText, text, static_cast<ASUInt32>(std::strlen(text)),
                              kAIPlatformCharacterEncoding);
    if (error == kNoErr) error = g_menu->AddMenuItem(self, key, &data, 0, item);
    g_strings->Destroy(&data.itemText);
    return error;
}

ASErr Startup(SPMessageData* m) {
    ASErr error = g_basic->AcquireSuite(kAIMenuSuite, kAIMenuSuiteVersion,
                                        reinterpret_cast<const void**>(&g_menu));
    if (error == kNoErr)
        error = g_basic->AcquireSuite(kAIUnicodeStringSuite, kAIUnicodeStringSuiteVersion,
                                      reinterpret_cast<const void**>(&g_strings));
    AIMenuItemHandle groupItem = nullptr, own = nullptr;
    AIMenuGroup group = nullptr;
    if (error == kNoErr)
        error = AddItem(m->self, "CorvaneSoftwareWindowGroup", kToolPalettesMenuGroup,
                        "Corvane Software", &groupItem);
    if (error == kNoErr)
        error = g_menu->AddMenuGroupAsSubMenu("CorvaneSoftwareWindowGroup", 1, groupItem, &group);
    if (error == kNoErr)
        error =
            AddItem(m->self, "Sibling Item", "CorvaneSoftwareWindowGroup", "Show Sibling", &own);
#ifdef SIBLING_LEAKS
    void* forgotten = nullptr;
    if (error == kNoErr) g_basic->AllocateBlock(48, &forgotten);
#endif
    if (error != kNoErr) ReleaseSuites();
    return error;
}

}  // namespace

SIBLING_EXPORT ASErr PluginMain(const char* caller, const char* selector, void* message) {
    SPMessageData* m = static_cast<SPMessageData*>(message);
    if (std::strcmp(caller, kSPInterfaceCaller) != 0) return kNoErr;
    g_basic = m->basic;
    if (std::strcmp(selector, kSPInterfaceStartupSelector) == 0) return Startup(m);
    if (std::strcmp(selector, kSPInterfaceShutdownSelector) == 0) ReleaseSuites();
    return kNoErr;
}

// A small plug-in module for the host's tests. It does what a well-behaved plug-in
// does (acquires and releases its suites, keeps its state in the globals word,
// registers a notifier and menu items, answers menu messages), and misbehaves on
// request: the words of its string list 17000, which a test supplies through the
// host, name the faults to commit.
#include <dlfcn.h>

#include <cstdio>
#include <cstring>

#include "hostapi/suites.h"

#define TEST_PLUGIN_EXPORT extern "C" __attribute__((visibility("default")))

namespace {

constexpr ASUInt32 kStateMagic = 0x54504C47;  // 'TPLG'
constexpr ASErr kGlobalsLostErr = HostFourCC('G', 'L', 'O', 'B');
constexpr ASErr kStartupRefusedErr = HostFourCC('T', 'E', 'S', 'T');
constexpr ASInt32 kFaultListID = 17000;

enum Fault : unsigned {
    kLeakBlock = 1u << 0,          // an extra block never freed
    kKeepSuite = 1u << 1,          // the menu suite not released at shutdown
    kUnbalancedContext = 1u << 2,  // a notification pushes without popping
    kFailStartup = 1u << 3,        // start-up answers 'TEST'
    kHoldLoaded = 1u << 4,         // holds itself loaded through the access suite
    kBadFree = 1u << 5,            // frees a block the host never gave out
    kThrowOnAbout = 1u << 6,       // lets an exception escape "About"
};

struct FaultName {
    const char* word;
    Fault fault;
};
constexpr FaultName kFaultNames[] = {
    {"leak-block", kLeakBlock},
    {"keep-suite", kKeepSuite},
    {"unbalanced-context", kUnbalancedContext},
    {"fail-startup", kFailStartup},
    {"hold-loaded", kHoldLoaded},
    {"bad-free", kBadFree},
    {"throw-on-about", kThrowOnAbout},
};

// Lives in a host block; the host keeps its address in the globals word, so it
// survives an unload of this code.
struct State {
    ASUInt32 magic;
    unsigned faults;
    ASInt32 updates;
    ASInt32 goes;
    ASInt32 reloads;
    AIMenuItemHandle updateItem;
    AIMenuItemHandle aboutItem;
    AINotifierHandle documentNotifier;
    SPAccessRef access;
    void* leaked;
    void* entryAtStart;
};

// Module statics: fresh after every real load of the code.
SPBasicSuite* g_basic = nullptr;
const SPAccessSuite* g_access = nullptr;
const SPPluginsSuite* g_plugins = nullptr;
const AINotifierSuite* g_notifier = nullptr;
const AIContextSuite* g_context = nullptr;
const ADMBasicSuite10* g_admBasic = nullptr;
const AIMenuSuite9* g_menu = nullptr;
const AIUnicodeStringSuite6* g_strings = nullptr;
bool g_codeUsedBefore = false;

struct SuiteEntry {
    const char* name;
    ASInt32 version;
    const void** pointer;
};
SuiteEntry g_suites[] = {
    {kSPAccessSuite, kSPAccessSuiteVersion, reinterpret_cast<const void**>(&g_access)},
    {kSPPluginsSuite, kSPPluginsSuiteVersion, reinterpret_cast<const void**>(&g_plugins)},
    {kAINotifierSuite, kAINotifierSuiteVersion, reinterpret_cast<const void**>(&g_notifier)},
    {kAIContextSuite, kAIContextSuiteVersion, reinterpret_cast<const void**>(&g_context)},
    {kADMBasicSuite, kADMBasicSuiteVersion10, reinterpret_cast<const void**>(&g_admBasic)},
    {kAIMenuSuite, kAIMenuSuiteVersion, reinterpret_cast<const void**>(&g_menu)},
    {kAIUnicodeStringSuite, kAIUnicodeStringSuiteVersion,
     reinterpret_cast<const void**>(&g_strings)},
};

void ReleaseSuites(bool keepMenu) {
    for (SuiteEntry& s : g_suites) {
        if (*s.pointer == nullptr) continue;
        if (keepMenu && s.pointer == reinterpret_cast<const void**>(&g_menu)) continue;
        g_basic->ReleaseSuite(s.name, s.version);
        *s.pointer = nullptr;
    }
}

ASErr AcquireSuites() {
    for (SuiteEntry& s : g_suites) {
        const ASErr error = g_basic->AcquireSuite(s.name, s.version, s.pointer);
        if (error != kNoErr) {
            ReleaseSuites(false);
            return error;
        }
    }
    return kNoErr;
}

void Say(const char* format, int value) {
    char text[128];
    std::snprintf(text, sizeof text, format, value);
    g_admBasic->MessageAlert(text);
}

void SetItemText(AIMenuItemHandle item, const char* text) {
    AIUnicodeString string{nullptr};
    if (g_strings->Initialize(&string, text, static_cast<ASUInt32>(std::strlen(text)),
                              kAIPlatformCharacterEncoding) == kNoErr)
        g_menu->SetItemText(item, &string);
    g_strings->Destroy(&string);
}

ASErr AddItem(SPPluginRef self, const char* key, const char* group, const char* text,
              ASInt32 options, AIMenuItemHandle* item) {
    AIPlatformAddMenuItemDataUS data{group, {nullptr}};
    ASErr error =
        g_strings->Initialize(&data.itemText, text, static_cast<ASUInt32>(std::strlen(text)),
                              kAIPlatformCharacterEncoding);
    if (error == kNoErr) error = g_menu->AddMenuItem(self, key, &data, options, item);
    g_strings->Destroy(&data.itemText);
    return error;
}

unsigned ReadFaults(SPPluginRef self) {
    unsigned faults = 0;
    char word[64];
    for (ASInt32 i = 1;
         g_admBasic->GetIndexString(self, kFaultListID, i, word, sizeof word) == kNoErr; ++i)
        for (const FaultName& f : kFaultNames)
            if (std::strcmp(word, f.word) == 0) faults |= f.fault;
    return faults;
}

// The module's file name without folder and extension.
void OwnName(char* name, std::size_t size) {
    Dl_info info{};
    const char* path =
        dladdr(reinterpret_cast<void*>(&OwnName), &info) ? info.dli_fname : "TestPlugin";
    const char* base = std::strrchr(path, '/');
    std::snprintf(name, size, "%s", base ? base + 1 : path);
    if (char* dot = std::strrchr(name, '.')) *dot = '\0';
}

ASErr Startup(SPMessageData* m) {
    ASErr error = AcquireSuites();
    if (error != kNoErr) return error;
    void* block = nullptr;
    if (g_basic->AllocateBlock(sizeof(State), &block) != kNoErr || block == nullptr) {
        ReleaseSuites(false);
        return HostFourCC('!', 'M', 'E', 'M');
    }
    State* state = static_cast<State*>(block);
    std::memset(state, 0, sizeof *state);
    state->magic = kStateMagic;
    state->entryAtStart = reinterpret_cast<void*>(&Startup);
    state->faults = ReadFaults(m->self);
    m->globals = state;
    g_codeUsedBefore = true;

    if (state->faults & kFailStartup) error = kStartupRefusedErr;
    char name[128];
    OwnName(name, sizeof name);
    if (error == kNoErr) error = g_plugins->SetPluginName(m->self, name);
    if (error == kNoErr)
        error = g_notifier->AddNotifier(m->self, "TestPlugin App Started",
                                        kAIApplicationStartedNotifier, nullptr);
    if (error == kNoErr)
        error = g_notifier->AddNotifier(m->self, "TestPlugin Documents", kAIDocumentOpenedNotifier,
                                        &state->documentNotifier);
    char key[160];
    std::snprintf(key, sizeof key, "%s Item", name);
    if (error == kNoErr)
        error = AddItem(m->self, key, kToolPalettesMenuGroup, "Show Test", 1, &state->updateItem);
    std::snprintf(key, sizeof key, "%s About", name);
    if (error == kNoErr)
        error = AddItem(m->self, key, kAboutMenuGroup, "About Test...", 0, &state->aboutItem);
    if (error == kNoErr && (state->faults & kHoldLoaded))
        g_access->AcquirePlugin(m->self, &state->access);
    if (error == kNoErr && (state->faults & kLeakBlock)) g_basic->AllocateBlock(24, &state->leaked);
    if (error == kNoErr && (state->faults & kBadFree)) {
        int notABlock = 0;
        g_basic->FreeBlock(&notABlock);
    }
    if (error != kNoErr) {
        g_basic->FreeBlock(state);
        m->globals = nullptr;
        ReleaseSuites(false);
    }
    return error;
}

ASErr Shutdown(SPMessageData* m, State* state) {
    if (state->access != nullptr) g_access->ReleasePlugin(state->access);
    const bool keepMenu = (state->faults & kKeepSuite) != 0;
    g_basic->FreeBlock(state);
    m->globals = nullptr;
    ReleaseSuites(keepMenu);
    return kNoErr;
}

ASErr Notify(AINotifierMessage* m, State* state) {
    AIAppContextHandle context = nullptr;
    g_context->PushAppContext(m->d.self, &context);
    if (std::strcmp(m->type, kAIApplicationStartedNotifier) == 0)
        g_admBasic->MessageAlert("app started");
    if (m->notifier == state->documentNotifier) g_admBasic->MessageAlert("document opened");
    if (!(state->faults & kUnbalancedContext)) g_context->PopAppContext(context);
    return kNoErr;
}

ASErr Menu(const char* selector, AIMenuMessage* m, State* state) {
    if (std::strcmp(selector, kAIUpdateSelector) == 0) {
        char text[64];
        std::snprintf(text, sizeof text, "Update %d", ++state->updates);
        SetItemText(m->menuItem, text);
        return kNoErr;
    }
    if (std::strcmp(selector, kAIGoSelector) != 0) return kNoErr;
    if (m->menuItem == state->updateItem) Say("go %d", ++state->goes);
    if (m->menuItem == state->aboutItem)
        g_admBasic->AboutBox(m->d.self, "TestPlugin", "from the menu");
    return kNoErr;
}

ASErr Reload(State* state) {
    const ASErr error = AcquireSuites();
    if (error != kNoErr) return error;
    ++state->reloads;
    // Fresh statics and a moved entry prove that this is newly loaded code.
    Say(g_codeUsedBefore ? "reload %d: same statics" : "reload %d: fresh statics", state->reloads);
    Say(state->entryAtStart != reinterpret_cast<void*>(&Startup) ? "reload %d: code moved"
                                                                 : "reload %d: code in place",
        state->reloads);
    g_codeUsedBefore = true;
    return kNoErr;
}

}  // namespace

TEST_PLUGIN_EXPORT ASErr PluginMain(const char* caller, const char* selector, void* message) {
    SPMessageData* m = static_cast<SPMessageData*>(message);
    g_basic = m->basic;
    if (std::strcmp(caller, kSPInterfaceCaller) == 0 &&
        std::strcmp(selector, kSPInterfaceStartupSelector) == 0) {
        if (m->globals != nullptr) return kGlobalsLostErr;
        return Startup(m);
    }
    State* state = static_cast<State*>(m->globals);
    if (state == nullptr || state->magic != kStateMagic) return kGlobalsLostErr;
    if (std::strcmp(caller, kSPAccessCaller) == 0) {
        if (std::strcmp(selector, kSPAccessUnloadSelector) == 0) {
            ReleaseSuites(false);
            return kNoErr;
        }
        if (std::strcmp(selector, kSPAccessReloadSelector) == 0) return Reload(state);
    }
    if (std::strcmp(caller, kSPInterfaceCaller) == 0) {
        if (std::strcmp(selector, kSPInterfaceShutdownSelector) == 0) return Shutdown(m, state);
        if (std::strcmp(selector, kSPInterfaceAboutSelector) == 0) {
            if (state->faults & kThrowOnAbout) throw state->faults;
            g_admBasic->AboutBox(m->self, "TestPlugin", "about");
            return kNoErr;
        }
    }
    if (std::strcmp(caller, kAINotifierCaller) == 0)
        return Notify(static_cast<AINotifierMessage*>(message), state);
    if (std::strcmp(caller, kAIMenuCaller) == 0)
        return Menu(selector, static_cast<AIMenuMessage*>(message), state);
    return kNoErr;
}

#ifdef TEST_PLUGIN_WITH_UNIQUE_SYMBOL
// An inline function's static at default visibility becomes an STB_GNU_UNIQUE
// symbol, which makes glibc refuse to unload the module.
__attribute__((visibility("default"))) inline int& SharedCounter() {
    static int counter = 0;
    return counter;
}
TEST_PLUGIN_EXPORT int TestPluginTouchUnique() { return ++SharedCounter(); }
#endif

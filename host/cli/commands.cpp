#include "commands.h"

namespace cli {

namespace {

host::LoadedPlugin* PluginNamed(Session& s, const std::string& name) {
    host::LoadedPlugin* plugin = s.host.FindPlugin(name);
    if (plugin == nullptr) s.out << "no plug-in named \"" << name << "\"\n";
    return plugin;
}

bool RunMenu(Session& s, const std::vector<std::string>&) {
    s.host.UpdateMenus();
    s.out << s.host.Menu().Tree();
    return true;
}

bool RunChoose(Session& s, const std::vector<std::string>& args) {
    AIMenuItem* item = s.host.Menu().FindItem(args[0]);
    if (item == nullptr) {
        s.out << "no menu item with the key \"" << args[0] << "\"\n";
        return false;
    }
    return s.host.ChooseMenuItem(item) == kNoErr;
}

bool RunNotify(Session& s, const std::vector<std::string>& args) {
    s.host.FireNotifier(args[0]);
    return true;
}

bool RunAbout(Session& s, const std::vector<std::string>& args) {
    host::LoadedPlugin* plugin = PluginNamed(s, args[0]);
    return plugin != nullptr && s.host.About(*plugin) == kNoErr;
}

bool RunUnload(Session& s, const std::vector<std::string>& args) {
    host::LoadedPlugin* plugin = PluginNamed(s, args[0]);
    return plugin != nullptr && s.host.Unload(*plugin) == kNoErr;
}

bool RunReload(Session& s, const std::vector<std::string>& args) {
    host::LoadedPlugin* plugin = PluginNamed(s, args[0]);
    return plugin != nullptr && s.host.Reload(*plugin) == kNoErr;
}

}  // namespace

const std::vector<Command>& Commands() {
    static const std::vector<Command> commands = {
        {"menu", "", "update the menu items and print the menus", 0, RunMenu},
        {"choose", "KEY", "choose the menu item with that key name", 1, RunChoose},
        {"notify", "TYPE", "fire a notifier type", 1, RunNotify},
        {"about", "PLUGIN", "send \"About\" to a plug-in", 1, RunAbout},
        {"unload", "PLUGIN", "unload a plug-in's code", 1, RunUnload},
        {"reload", "PLUGIN", "load it again", 1, RunReload},
    };
    return commands;
}

const Command* FindCommand(const std::string& name) {
    for (const Command& c : Commands())
        if (name == c.name) return &c;
    return nullptr;
}

void PrintRegistrations(Session& s) {
    s.out << "plug-ins:\n";
    for (const auto& p : s.host.Plugins())
        s.out << "  " << p->Name() << " (" << host::PluginStateName(p->State()) << ") " << p->Path()
              << "\n";
    for (const auto& r : s.host.Refused())
        s.out << "  refused " << r.path << ": " << r.reason << "\n";
    s.out << "menus:\n" << s.host.Menu().Tree();
    s.out << "notifiers:\n";
    for (const auto& n : s.host.Notifiers())
        s.out << "  " << n->plugin->Name() << ": \"" << n->name << "\" for \"" << n->type << "\""
              << (n->active ? "" : " (inactive)") << "\n";
}

void PrintAccounting(Session& s) {
    s.out << "memory:\n";
    for (const auto& p : s.host.Plugins()) {
        const host::AllocationStats st = s.host.Memory().Stats(p.get());
        s.out << "  " << p->Name() << ": " << st.blocksOutstanding << " block(s) outstanding, "
              << st.bytesOutstanding << " byte(s); peak " << st.peakBytes << " byte(s); "
              << st.totalBlocks << " block(s), " << st.totalBytes << " byte(s) in all\n";
    }
}

}  // namespace cli

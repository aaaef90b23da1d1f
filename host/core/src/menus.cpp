#include "host/menus.h"

#include "host/loaded_plugin.h"
#include "host/text_encoding.h"
#include "hostapi/ai_menu.h"

namespace host {

const std::vector<std::string>& Menus::HostGroupNames() {
    static const std::vector<std::string> names = {
        "Open Document",
        "Document Utilities",
        "Edit",
        "Object",
        "Type",
        "Filter",
        "Effect",
        "View",
        "Window Utilities",
        kToolPalettesMenuGroup,
        "Help",
        kAboutMenuGroup,
    };
    return names;
}

Menus::Menus() {
    for (const std::string& name : HostGroupNames()) {
        auto group = std::make_unique<AIMenuGroupData>();
        group->name = name;
        m_groups.push_back(std::move(group));
    }
}

void Menus::RemoveEverything() {
    m_items.clear();
    m_groups.clear();
}

AIMenuGroupData* Menus::FindGroup(const std::string& name) const {
    for (const auto& g : m_groups)
        if (g->name == name) return g.get();
    return nullptr;
}

ASErr Menus::AddItem(LoadedPlugin* plugin, const char* keyName, const std::string& group,
                     std::u16string text, ASInt32 options, AIMenuItem** out) {
    if (FindGroup(group) == nullptr) return kNotFoundErr;
    auto item = std::make_unique<AIMenuItem>();
    item->plugin = plugin;
    item->keyName = keyName != nullptr ? keyName : "";
    item->group = group;
    item->text = std::move(text);
    item->options = options;
    if (out != nullptr) *out = item.get();
    m_items.push_back(std::move(item));
    return kNoErr;
}

ASErr Menus::AddSubMenuGroup(LoadedPlugin* owner, const std::string& name, ASInt32 options,
                             AIMenuItem* item, AIMenuGroupData** out) {
    if (!Contains(item) || item->submenu != nullptr || FindGroup(name) != nullptr)
        return kBadParameterErr;
    AIMenuGroupData* group = nullptr;
    const ASErr error = AddGroup(owner, name, options, &group);
    if (error != kNoErr) return error;
    group->parentItem = item;
    item->submenu = group;
    if (out != nullptr) *out = group;
    return kNoErr;
}

ASErr Menus::AddGroup(LoadedPlugin* owner, const std::string& name, ASInt32 options,
                      AIMenuGroupData** out) {
    if (name.empty() || FindGroup(name) != nullptr) return kBadParameterErr;
    auto group = std::make_unique<AIMenuGroupData>();
    group->name = name;
    group->options = options;
    group->owner = owner;
    if (out != nullptr) *out = group.get();
    m_groups.push_back(std::move(group));
    return kNoErr;
}

bool Menus::Contains(const AIMenuItem* item) const {
    for (const auto& i : m_items)
        if (i.get() == item) return true;
    return false;
}

bool Menus::Contains(const AIMenuGroupData* group) const {
    for (const auto& g : m_groups)
        if (g.get() == group) return true;
    return false;
}

AIMenuItem* Menus::FindItem(const std::string& keyName) const {
    for (const auto& i : m_items)
        if (i->keyName == keyName) return i.get();
    return nullptr;
}

std::vector<AIMenuItem*> Menus::Items() const {
    std::vector<AIMenuItem*> items;
    for (const auto& i : m_items) items.push_back(i.get());
    return items;
}

std::vector<AIMenuGroupData*> Menus::Groups() const {
    std::vector<AIMenuGroupData*> groups;
    for (const auto& g : m_groups) groups.push_back(g.get());
    return groups;
}

std::vector<AIMenuItem*> Menus::ItemsIn(const std::string& group) const {
    std::vector<AIMenuItem*> items;
    for (const auto& i : m_items)
        if (i->group == group) items.push_back(i.get());
    return items;
}

void Menus::PrintGroup(const AIMenuGroupData& group, int depth, std::string& out) const {
    const std::string indent(static_cast<std::size_t>(depth) * 2, ' ');
    out += indent + "[" + group.name + "]\n";
    for (AIMenuItem* item : ItemsIn(group.name)) {
        out += indent + "  \"" + EncodeUtf8(item->text) + "\"";
        if (!item->keyName.empty()) out += " key \"" + item->keyName + "\"";
        if (item->options & kMenuItemWantsUpdateOption) out += " (updates)";
        if (!item->enabled) out += " (disabled)";
        if (item->checked) out += " (checked)";
        if (item->plugin != nullptr) out += " <" + item->plugin->Name() + ">";
        out += "\n";
        if (item->submenu != nullptr) PrintGroup(*item->submenu, depth + 2, out);
    }
}

std::string Menus::Tree() const {
    std::string out;
    for (const auto& g : m_groups)
        if (g->parentItem == nullptr && (g->owner != nullptr || !ItemsIn(g->name).empty()))
            PrintGroup(*g, 0, out);
    return out;
}

}  // namespace host

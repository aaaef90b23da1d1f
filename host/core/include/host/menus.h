// The host's menus: its own groups, and the items and submenu groups plug-ins add.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "host/host_objects.h"
#include "hostapi/errors.h"

namespace host {

class Menus {
public:
    Menus();

    // The host's own groups, "About" and "Tool Palettes" among them.
    static const std::vector<std::string>& HostGroupNames();

    AIMenuGroupData* FindGroup(const std::string& name) const;
    // kNotFoundErr for an unknown group.
    ASErr AddItem(LoadedPlugin* plugin, const char* keyName, const std::string& group,
                  std::u16string text, ASInt32 options, AIMenuItem** out);
    // kBadParameterErr for a name already taken or an item that has a submenu.
    ASErr AddSubMenuGroup(LoadedPlugin* owner, const std::string& name, ASInt32 options,
                          AIMenuItem* item, AIMenuGroupData** out);
    ASErr AddGroup(LoadedPlugin* owner, const std::string& name, ASInt32 options,
                   AIMenuGroupData** out);

    bool Contains(const AIMenuItem* item) const;
    bool Contains(const AIMenuGroupData* group) const;
    // Null when no item has that key name.
    AIMenuItem* FindItem(const std::string& keyName) const;
    std::vector<AIMenuItem*> Items() const;
    std::vector<AIMenuGroupData*> Groups() const;
    std::vector<AIMenuItem*> ItemsIn(const std::string& group) const;

    // The groups that hold items or that a plug-in added, as an indented tree;
    // submenus under their items.
    std::string Tree() const;

    // A host whose menus hold nothing at all, not even its own groups.
    void RemoveEverything();
    // How often a plug-in asked for a group by its index.
    int GroupsAskedByIndex() const { return m_groupsAskedByIndex; }
    void CountGroupAskedByIndex() { ++m_groupsAskedByIndex; }

private:
    void PrintGroup(const AIMenuGroupData& group, int depth, std::string& out) const;

    std::vector<std::unique_ptr<AIMenuGroupData>> m_groups;
    std::vector<std::unique_ptr<AIMenuItem>> m_items;
    int m_groupsAskedByIndex = 0;
};

}  // namespace host

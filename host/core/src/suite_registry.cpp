#include "host/suite_registry.h"

namespace host {

void SuiteRegistry::Register(const std::string& name, ASInt32 version, const void* table) {
    if (table == nullptr)
        m_tables.erase({name, version});
    else
        m_tables[{name, version}] = table;
}

const void* SuiteRegistry::Find(const std::string& name, ASInt32 version) const {
    const auto it = m_tables.find({name, version});
    return it == m_tables.end() ? nullptr : it->second;
}

bool SuiteRegistry::HasName(const std::string& name) const { return !Versions(name).empty(); }

std::vector<ASInt32> SuiteRegistry::Versions(const std::string& name) const {
    std::vector<ASInt32> versions;
    for (auto it = m_tables.lower_bound({name, INT32_MIN});
         it != m_tables.end() && it->first.first == name; ++it)
        versions.push_back(it->first.second);
    return versions;
}

std::vector<std::pair<std::string, ASInt32>> SuiteRegistry::All() const {
    std::vector<std::pair<std::string, ASInt32>> all;
    for (const auto& entry : m_tables) all.push_back(entry.first);
    return all;
}

}  // namespace host

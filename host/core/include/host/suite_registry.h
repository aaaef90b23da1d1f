// The suites the host offers, by name and version. Any part of the host registers its
// tables here; the latest registration of a name and version wins, so a real suite
// replaces a placeholder without touching the code that registered the placeholder.
#pragma once

#include <map>
#include <string>
#include <utility>
#include <vector>

#include "hostapi/types.h"

namespace host {

class SuiteRegistry {
public:
    // A null table withdraws the version.
    void Register(const std::string& name, ASInt32 version, const void* table);
    // Same as Register; says at the call site that a table is being replaced.
    void Replace(const std::string& name, ASInt32 version, const void* table) {
        Register(name, version, table);
    }
    // Null when the name or version is not offered.
    const void* Find(const std::string& name, ASInt32 version) const;
    bool HasName(const std::string& name) const;
    std::vector<ASInt32> Versions(const std::string& name) const;
    std::vector<std::pair<std::string, ASInt32>> All() const;

private:
    std::map<std::pair<std::string, ASInt32>, const void*> m_tables;
};

}  // namespace host

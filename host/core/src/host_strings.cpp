#include "host/host_strings.h"

namespace host {

AIUnicodeStringData* HostStrings::Create(LoadedPlugin* owner, std::u16string text) {
    auto string = std::make_unique<AIUnicodeStringData>();
    string->text = std::move(text);
    string->owner = owner;
    AIUnicodeStringData* raw = string.get();
    m_strings.emplace(raw, std::move(string));
    return raw;
}

bool HostStrings::Contains(const AIUnicodeStringData* string) const {
    return string != nullptr && m_strings.count(string) != 0;
}

void HostStrings::Destroy(AIUnicodeStringData* string) { m_strings.erase(string); }

std::size_t HostStrings::LiveCount(const LoadedPlugin* owner) const {
    std::size_t count = 0;
    for (const auto& entry : m_strings)
        if (entry.second->owner == owner) ++count;
    return count;
}

void HostStrings::FailNthCall(StringFunction function, int n, ASErr error) {
    if (n <= 0) {
        m_faults.erase(function);
        return;
    }
    m_faults[function] = Fault{n, error};
}

ASErr HostStrings::TakeFault(StringFunction function) {
    if (m_faults.empty()) return 0;
    const auto it = m_faults.find(function);
    if (it == m_faults.end()) return 0;
    if (--it->second.countdown > 0) return 0;
    const ASErr error = it->second.error;
    m_faults.erase(it);
    return error;
}

}  // namespace host

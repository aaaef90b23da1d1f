// The host's Unicode strings: created, changed and destroyed only through the
// "AI Unicode String Suite", with injectable failures per suite function.
#pragma once

#include <map>
#include <memory>
#include <string>

#include "host/host_objects.h"

namespace host {

enum class StringFunction {
    Initialize,
    InitializeUTF16,
    InitializeCopy,
    Destroy,
    Length,
    Compare,
    Assign,
    Append,
    Erase,
    GetUtf16,
};
constexpr std::size_t kStringFunctions = static_cast<std::size_t>(StringFunction::GetUtf16) + 1;

class FaultPlan;

class HostStrings {
public:
    explicit HostStrings(FaultPlan& faults) : m_faults(faults) {}

    AIUnicodeStringData* Create(LoadedPlugin* owner, std::u16string text);
    bool Contains(const AIUnicodeStringData* string) const;
    void Destroy(AIUnicodeStringData* string);
    // Strings `owner` holds and has not destroyed.
    std::size_t LiveCount(const LoadedPlugin* owner) const;
    std::size_t LiveCount() const { return m_strings.size(); }

    // The n-th call of `function` from now (1 = the next) answers `error` and changes
    // nothing (a host-string fault of the host's fault plan).
    void FailNthCall(StringFunction function, int n, ASErr error);
    // Counts this call as a fault point; the injected error of this call, or 0.
    ASErr TakeFault(StringFunction function);

private:
    FaultPlan& m_faults;
    std::map<const AIUnicodeStringData*, std::unique_ptr<AIUnicodeStringData>> m_strings;
};

}  // namespace host

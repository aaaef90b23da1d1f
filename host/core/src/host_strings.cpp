#include "host/host_strings.h"

#include <array>

#include "host/fault_plan.h"
#include "hostapi/ai_unicode_string.h"
#include "hostapi/errors.h"

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

namespace {

// The suite's function names, as faults name them.
const char* FunctionName(StringFunction function) {
    switch (function) {
        case StringFunction::Initialize:
            return "Initialize";
        case StringFunction::InitializeUTF16:
            return "InitializeUTF16";
        case StringFunction::InitializeCopy:
            return "InitializeCopy";
        case StringFunction::Destroy:
            return "Destroy";
        case StringFunction::Length:
            return "Length";
        case StringFunction::Compare:
            return "Compare";
        case StringFunction::Assign:
            return "Assign";
        case StringFunction::Append:
            return "Append";
        case StringFunction::Erase:
            return "Erase";
        case StringFunction::GetUtf16:
            return "GetUtf16";
    }
    return "?";
}

}  // namespace

void HostStrings::FailNthCall(StringFunction function, int n, ASErr error) {
    m_faults.FailNth(FaultKind::HostString, n, error, kAIUnicodeStringSuite,
                     FunctionName(function));
}

ASErr HostStrings::TakeFault(StringFunction function) {
    // Named and numbered once; Destroy gives back and GetUtf16 answers no error: neither
    // is a fault point of its own.
    static const auto kSites = [] {
        std::array<FaultSite, kStringFunctions> sites{};
        for (std::size_t i = 0; i < sites.size(); ++i) {
            const auto f = static_cast<StringFunction>(i);
            const char* name = FunctionName(f);
            sites[i] = FaultSite{FaultKind::HostString, kAIUnicodeStringSuite, name,
                                 f != StringFunction::Destroy && f != StringFunction::GetUtf16};
            sites[i].slot = FaultSiteSlot(FaultKind::HostString, kAIUnicodeStringSuite, name);
        }
        return sites;
    }();
    ASErr error = kNoErr;
    return m_faults.Take(kSites[static_cast<std::size_t>(function)], &error) ? error : kNoErr;
}

}  // namespace host

#include "host/fault_plan.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>

#include "hostapi/sp_basic.h"
#include "platform_bridge.h"

namespace host {

namespace {

const struct {
    FaultKind kind;
    const char* name;
} kKindNames[] = {
    {FaultKind::Allocation, "allocation"},
    {FaultKind::SuiteCall, "suite-call"},
    {FaultKind::HostString, "host-string"},
    {FaultKind::Automation, "automation"},
};

}  // namespace

const char* FaultKindName(FaultKind kind) {
    for (const auto& k : kKindNames)
        if (k.kind == kind) return k.name;
    return "?";
}

bool FaultKindFromName(const std::string& name, FaultKind* kind) {
    for (const auto& k : kKindNames) {
        if (name == k.name) {
            *kind = k.kind;
            return true;
        }
    }
    return false;
}

// The known sites, then the allocations.
FaultPlan::FaultPlan()
    : m_siteCalls(KnownFaultSites().size() + 1, 0), m_invokeBase(detail::AutomationCallCount()) {}

std::size_t FaultSiteSlot(FaultKind kind, const char* suite, const char* function) {
    const auto& sites = KnownFaultSites();
    if (kind == FaultKind::Allocation) return sites.size();
    for (std::size_t i = 0; i < sites.size(); ++i) {
        if (sites[i].kind == kind && std::strcmp(sites[i].suite, suite) == 0 &&
            std::strcmp(sites[i].function, function) == 0)
            return i;
    }
    throw std::logic_error(std::string("no fault site ") + suite + " " + function);
}

std::map<std::string, long> FaultPlan::CallsBySite() const {
    const auto& sites = KnownFaultSites();
    std::map<std::string, long> calls;
    for (std::size_t slot = 0; slot < m_siteCalls.size(); ++slot) {
        if (m_siteCalls[slot] == 0) continue;
        const bool allocation = slot == sites.size();
        const std::string name = allocation
                                     ? std::string(kSPBasicSuite) + " AllocateBlock"
                                     : std::string(sites[slot].suite) + " " + sites[slot].function;
        calls[name] += m_siteCalls[slot];
    }
    return calls;
}

bool FaultPlan::FailNth(FaultKind kind, long n, ASErr code, const std::string& suite,
                        const std::string& function) {
    if (kind == FaultKind::Automation) {
        // The platform counts from now as this plan does.
        if (!detail::FailAutomationCall(n > 0 ? static_cast<unsigned long>(n) : 0, code))
            return false;
        m_automationArmed = n > 0;
        m_automationArmedAt = Count(FaultKind::Automation) + n;
        return true;
    }
    m_arms.erase(std::remove_if(m_arms.begin(), m_arms.end(),
                                [&](const Arm& a) {
                                    return a.kind == kind && a.suite == suite &&
                                           a.function == function;
                                }),
                 m_arms.end());
    if (n > 0) m_arms.push_back(Arm{kind, suite, function, n, n, code});
    m_active = !m_arms.empty() || m_callHook;
    return true;
}

bool FaultPlan::DieAt(long n) {
    if (!detail::KillFontManagerAt(n > 0 ? static_cast<unsigned long>(n) : 0)) return false;
    m_automationArmed = n > 0;
    m_automationArmedAt = Count(FaultKind::Automation) + n;
    return true;
}

void FaultPlan::Clear() {
    m_arms.clear();
    m_active = static_cast<bool>(m_callHook);
    if (m_automationArmed) {
        detail::FailAutomationCall(0, 0);
        detail::KillFontManagerAt(0);
        m_automationArmed = false;
    }
}

bool FaultPlan::Matches(const Arm& arm, const FaultSite& site) const {
    if (arm.kind != site.kind) return false;
    if (arm.function.empty()) return site.canFail;
    return arm.function == site.function && (arm.suite.empty() || arm.suite == site.suite);
}

bool FaultPlan::TakeArmed(const FaultSite& site, ASErr* code) {
    const long call = m_allCalls[static_cast<std::size_t>(site.kind)];
    if (m_callHook && !m_inHook && site.kind != FaultKind::Allocation) {
        struct InHook {
            bool& flag;
            explicit InHook(bool& f) : flag(f) { flag = true; }
            ~InHook() { flag = false; }
        } inHook(m_inHook);
        // Copied: the hook may replace itself.
        const auto hook = m_callHook;
        hook(site, call);
    }
    for (auto it = m_arms.begin(); it != m_arms.end(); ++it) {
        if (!Matches(*it, site) || --it->countdown > 0) continue;
        const FiredFault fired{site.kind, site.suite, site.function, it->number, it->code};
        *code = it->code;
        m_arms.erase(it);
        m_active = !m_arms.empty() || m_callHook;
        m_fired.push_back(fired);
        if (m_observer) m_observer(fired);
        return true;
    }
    return false;
}

long FaultPlan::Count(FaultKind kind) const {
    if (kind == FaultKind::Automation) {
        const unsigned long total = detail::AutomationCallCount();
        // The emulation's counters may have been reset under the plan.
        return static_cast<long>(total >= m_invokeBase ? total - m_invokeBase : total);
    }
    // Fault points are the calls of the sites that can fail.
    const auto& sites = KnownFaultSites();
    if (kind == FaultKind::Allocation) return m_siteCalls[sites.size()];
    long points = 0;
    for (std::size_t slot = 0; slot < sites.size(); ++slot)
        if (sites[slot].kind == kind && sites[slot].canFail) points += m_siteCalls[slot];
    return points;
}

std::size_t FaultPlan::Armed() const {
    const bool automation = m_automationArmed && Count(FaultKind::Automation) < m_automationArmedAt;
    return m_arms.size() + (automation ? 1 : 0);
}

}  // namespace host

#include "host/fault_plan.h"

#include <algorithm>

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

FaultPlan::FaultPlan() : m_invokeBase(detail::AutomationCallCount()) {}

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

bool FaultPlan::Take(const FaultSite& site, ASErr* code) {
    ++m_bySite[std::string(site.suite) + " " + site.function];
    if (site.canFail) ++m_counts[site.kind];
    const long call = ++m_allCalls[site.kind];
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
    const auto it = m_counts.find(kind);
    return it == m_counts.end() ? 0 : it->second;
}

std::size_t FaultPlan::Armed() const {
    const bool automation = m_automationArmed && Count(FaultKind::Automation) < m_automationArmedAt;
    return m_arms.size() + (automation ? 1 : 0);
}

}  // namespace host

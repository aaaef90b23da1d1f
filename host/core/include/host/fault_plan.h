// The host's fault injection: which of the plug-in's calls fail, counted by kind, so
// that a sweep can count a session's fault points once and then fail each of them in
// turn. Every kind counts and fails through this one plan; the font manager's
// automation calls are counted and failed by the platform emulation on its behalf.
#pragma once

#include <cstddef>
#include <functional>
#include <iterator>
#include <map>
#include <string>
#include <vector>

#include "hostapi/types.h"

namespace host {

enum class FaultKind {
    Allocation,  // a block from the basic suite
    SuiteCall,   // a function of any suite the plug-in acquired, host strings aside
    HostString,  // a function of the "AI Unicode String Suite"
    Automation,  // an IDispatch::Invoke to the font manager
};

constexpr FaultKind kFaultKinds[] = {FaultKind::Allocation, FaultKind::SuiteCall,
                                     FaultKind::HostString, FaultKind::Automation};

// "allocation", "suite-call", "host-string", "automation".
const char* FaultKindName(FaultKind kind);
bool FaultKindFromName(const std::string& name, FaultKind* kind);

// One place the plug-in calls the host. A call that can fail counts as a fault point;
// one that cannot (a release, a getter whose every answer is valid, a function that
// returns nothing) is never failed by an "any function" fault.
struct FaultSite {
    FaultKind kind;
    const char* suite;
    const char* function;
    bool canFail;
    // Where a plan counts this site's calls (FaultSiteSlot); every site a call passes
    // has one.
    std::size_t slot = 0;
};

// Every suite function a fault can name, in suite order: the functions of the suites the
// host hands out, the host strings' among them.
const std::vector<FaultSite>& KnownFaultSites();
// The slot of a known site (its place in KnownFaultSites), or of the allocations (one
// past them); looked up by name once, where the host sets a site up. Throws
// std::logic_error for a site the host does not know.
std::size_t FaultSiteSlot(FaultKind kind, const char* suite, const char* function);

// A fault that fired.
struct FiredFault {
    FaultKind kind;
    std::string suite;
    std::string function;
    long call;  // the fault point's number, counted from when the fault was set
    ASErr code;
};

class FaultPlan {
public:
    // The first fault-point number of every kind is counted from here.
    FaultPlan();

    // The n-th call from now (1 = the next) fails with `code`, once. With `function`
    // empty, any call of the kind that can fail; with it set, the n-th call of that
    // function of `suite` (a host-string fault needs no suite). n of 0 clears it.
    // False where the platform cannot fail that kind (automation calls on Windows).
    bool FailNth(FaultKind kind, long n, ASErr code, const std::string& suite = {},
                 const std::string& function = {});
    // Automation only: every call from the n-th on fails, as when the server has died.
    bool DieAt(long n);
    void Clear();

    // Counts this call and answers whether it fails; `code` then holds the answer. Every
    // suite call, host-string call and allocation comes here: with nothing armed and no
    // hook it adds one to its site's count and one to its kind's, and names nothing.
    bool Take(const FaultSite& site, ASErr* code) { return Note(site) && TakeArmed(site, code); }
    // Take in two steps, for a caller whose fast path should be a plain forward: counts
    // the call and answers whether TakeArmed must see it.
    bool Note(const FaultSite& site) {
        ++m_siteCalls[site.slot];
        ++m_allCalls[static_cast<std::size_t>(site.kind)];
        return m_active;
    }
    bool TakeArmed(const FaultSite& site, ASErr* code);

    // Fault points met since the plan was made.
    long Count(FaultKind kind) const;
    // Calls per "suite function", every one (not only those that can fail), named
    // when asked.
    std::map<std::string, long> CallsBySite() const;
    // Faults armed and not yet fired (automation faults fire out of the host's sight
    // and count as armed until a call past them has been counted).
    std::size_t Armed() const;
    const std::vector<FiredFault>& Fired() const { return m_fired; }

    // Told of every fault as it fires (the host logs it).
    void SetObserver(std::function<void(const FiredFault&)> observer) {
        m_observer = std::move(observer);
    }
    // Runs before every suite and host-string call a plug-in makes (allocations
    // aside), with the call's number of its kind: a host that acts in the middle of
    // the plug-in's calls (a notification, a destroyed dialog) is played with it.
    // Null removes it; the hook is not run for calls it makes itself.
    void SetCallHook(std::function<void(const FaultSite&, long call)> hook) {
        m_callHook = std::move(hook);
        m_active = !m_arms.empty() || m_callHook;
    }

private:
    struct Arm {
        FaultKind kind;
        std::string suite;
        std::string function;
        long countdown;
        long number;
        ASErr code;
    };
    bool Matches(const Arm& arm, const FaultSite& site) const;

    static constexpr std::size_t kKinds = std::size(kFaultKinds);

    std::vector<Arm> m_arms;
    // Every call, by site and by kind; fault points are summed from the sites that can fail.
    std::vector<long> m_siteCalls;
    long m_allCalls[kKinds] = {};
    bool m_active = false;  // a fault armed or a hook set: calls go the slow way
    std::vector<FiredFault> m_fired;
    unsigned long m_invokeBase;
    long m_automationArmedAt = 0;  // the automation call (from the base) that fails
    bool m_automationArmed = false;
    std::function<void(const FiredFault&)> m_observer;
    std::function<void(const FaultSite&, long)> m_callHook;
    bool m_inHook = false;
};

}  // namespace host

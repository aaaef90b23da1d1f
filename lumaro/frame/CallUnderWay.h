// Whether the host is inside one of our calls, whichever door it came in by: a
// message, a dialog or item procedure. A host may call us again from inside one of
// them (a call that waits for another program lets it run); a shutdown or an unload
// then would take the object or the suites from under the code that is using them.
#pragma once

class CallUnderWay {
public:
    CallUnderWay() noexcept { ++s_depth; }
    ~CallUnderWay() { --s_depth; }
    CallUnderWay(const CallUnderWay&) = delete;
    CallUnderWay& operator=(const CallUnderWay&) = delete;

    static bool Any() noexcept { return s_depth > 0; }

private:
    static inline int s_depth = 0;
};

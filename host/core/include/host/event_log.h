// What the host did, in order: every message and its result, every alert, assertion and
// registration, and every problem found (refused modules, leaks, unbalanced contexts).
// The command line echoes it; tests read it.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "hostapi/types.h"

namespace host {

enum class EventKind {
    Load,          // a module was loaded, refused, unloaded or reloaded
    Message,       // a message sent to a plug-in, with its result
    Alert,         // an alert, About box or message box the plug-in showed
    Assertion,     // a debug assertion of a plug-in
    Registration,  // a notifier, menu item or menu group a plug-in added
    Problem,       // something a plug-in or module did wrong
    Fault,         // a fault the host injected fired
};

const char* EventKindName(EventKind kind);

struct Event {
    EventKind kind;
    std::string plugin;   // the plug-in concerned, empty for the host itself
    std::string subject;  // e.g. "SP Interface/Startup", "error alert", "notifier"
    std::string detail;   // free text
    ASErr result = 0;     // the result of a message

    // One line, as the command line prints it.
    std::string ToString() const;
};

class EventLog {
public:
    // Returns the event's index.
    std::size_t Add(Event event);
    std::size_t Add(EventKind kind, std::string plugin, std::string subject,
                    std::string detail = {}, ASErr result = 0);
    // A message is logged when sent; its result arrives when it returns.
    void SetResult(std::size_t index, ASErr result);

    const std::vector<Event>& Events() const { return m_events; }
    std::size_t Size() const { return m_events.size(); }
    // The events from index `first` on.
    std::vector<Event> Since(std::size_t first) const;
    std::vector<Event> OfKind(EventKind kind) const;
    std::size_t Count(EventKind kind) const;
    void Clear() { m_events.clear(); }

private:
    std::vector<Event> m_events;
};

// A four-character code as text ('S!Fd'), small numbers in decimal.
std::string FormatErrorCode(ASErr code);

}  // namespace host

#include "host/event_log.h"

#include <algorithm>
#include <cstdio>

namespace host {

const char* EventKindName(EventKind kind) {
    switch (kind) {
        case EventKind::Load:
            return "load";
        case EventKind::Message:
            return "message";
        case EventKind::Alert:
            return "alert";
        case EventKind::Assertion:
            return "assertion";
        case EventKind::Registration:
            return "registration";
        case EventKind::Problem:
            return "problem";
        case EventKind::Fault:
            return "fault";
    }
    return "?";
}

std::string FormatErrorCode(ASErr code) {
    const auto u = static_cast<std::uint32_t>(code);
    bool printable = u >= 0x01000000;
    char chars[4];
    for (int i = 0; i < 4; ++i) {
        chars[i] = static_cast<char>((u >> (24 - 8 * i)) & 0xFF);
        if (chars[i] < 0x20 || chars[i] > 0x7E) printable = false;
    }
    if (printable) return "'" + std::string(chars, 4) + "'";
    return std::to_string(code);
}

std::string Event::ToString() const {
    std::string line = "[";
    line += EventKindName(kind);
    line += "]";
    if (!plugin.empty()) line += " " + plugin + ":";
    line += " " + subject;
    if (!detail.empty()) line += " \"" + detail + "\"";
    if (kind == EventKind::Message) line += " -> " + FormatErrorCode(result);
    return line;
}

std::size_t EventLog::Add(Event event) {
    m_events.push_back(std::move(event));
    return m_events.size() - 1;
}

std::size_t EventLog::Add(EventKind kind, std::string plugin, std::string subject,
                          std::string detail, ASErr result) {
    return Add(Event{kind, std::move(plugin), std::move(subject), std::move(detail), result});
}

void EventLog::SetResult(std::size_t index, ASErr result) {
    if (index < m_events.size()) m_events[index].result = result;
}

std::vector<Event> EventLog::Since(std::size_t first) const {
    if (first >= m_events.size()) return {};
    return std::vector<Event>(m_events.begin() + static_cast<std::ptrdiff_t>(first),
                              m_events.end());
}

std::vector<Event> EventLog::OfKind(EventKind kind) const {
    std::vector<Event> out;
    std::copy_if(m_events.begin(), m_events.end(), std::back_inserter(out),
                 [kind](const Event& e) { return e.kind == kind; });
    return out;
}

std::size_t EventLog::Count(EventKind kind) const {
    return static_cast<std::size_t>(std::count_if(
        m_events.begin(), m_events.end(), [kind](const Event& e) { return e.kind == kind; }));
}

}  // namespace host

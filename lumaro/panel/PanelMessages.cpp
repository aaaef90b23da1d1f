#include "panel/PanelMessages.h"

#include <climits>
#include <cstdio>
#include <cstring>

namespace panel_messages {

namespace {

constexpr wchar_t kProductSite[] = L"https://www.corvane-software.example/glyvor/";
constexpr wchar_t kHelpPath[] = L"plugins/lumaro-ai";

// Counts beyond what "%i" holds are shown as the largest it does.
int AsInt(std::size_t count) { return count > INT_MAX ? INT_MAX : static_cast<int>(count); }

StatusText Format(const char* format, int count) {
    StatusText status;
    std::snprintf(status.text, sizeof status.text, format, count);
    return status;
}

StatusText Text(const char* text) {
    StatusText status;
    std::snprintf(status.text, sizeof status.text, "%s", text);
    return status;
}

// Joins a second sentence to a status, as far as the buffer holds it.
void Append(StatusText& status, const char* text) {
    const std::size_t used = std::strlen(status.text);
    std::snprintf(status.text + used, sizeof status.text - used, "; %s", text);
}

}  // namespace

StatusText MissingFontsStatus(std::size_t count, bool complete) {
    if (!complete) {
        if (count == 0) return Text("No missing fonts could be listed; press Refresh to try again");
        return Format("Only %i missing font(s) could be listed; press Refresh to try again",
                      AsInt(count));
    }
    if (count == 0) return Text("No missing fonts in opened documents");
    return Format("%i missing font(s) in opened documents", AsInt(count));
}

StatusText OffersKeptStatus(std::size_t count) {
    StatusText status = MissingFontsStatus(count);
    Append(status, "the fonts found before could not be cleared; press Refresh to try again");
    return status;
}

StatusText FoundFontsStatus(std::size_t count, bool complete) {
    if (!complete) {
        if (count == 0)
            return Text("None of the fonts found could be listed; press Find to try again");
        return Format("Only %i of the fonts found could be listed; press Find to try again",
                      AsInt(count));
    }
    if (count == 0) return Text("No appropriate fonts were found");
    if (count == 1) return Text("1 font has been found");
    return Format("%i fonts have been found", AsInt(count));
}

StatusText ActivatedFontsStatus(int successes) {
    if (successes <= 0) return Text(kNoneActivated);
    if (successes == 1) return Text("1 font has been activated or installed");
    return Format("%i fonts have been activated or installed", successes);
}

StatusText BrokenOffStatus(int successes, bool memory) {
    const char* cause = memory ? kCommandFailed : kCannotConnect;
    if (successes <= 0) return Text(cause);
    StatusText status = ActivatedFontsStatus(successes);
    const std::size_t used = std::strlen(status.text);
    std::snprintf(status.text + used, sizeof status.text - used, ". %s", cause);
    return status;
}

StatusText WithPressRefused(const char* text) {
    StatusText status = Text(text);
    Append(status, "a button pressed meanwhile was not acted on; press it again");
    return status;
}

FailureText::FailureText(bool activate)
    : m_text(activate ? "Failed to activate fonts: " : "Failed to install fonts: ") {}

void FailureText::Add(const std::string& name) {
    if (m_count > 0) m_text += ", ";
    m_text += '"';
    m_text += name;
    m_text += '"';
    ++m_count;
}

std::wstring HelpAddress() { return std::wstring(kProductSite) + kHelpPath; }

std::wstring HelpErrorText() {
    return std::wstring(L"Cannot open:\r\n") + kProductSite + L"\r\n" + kHelpPath;
}

}  // namespace panel_messages

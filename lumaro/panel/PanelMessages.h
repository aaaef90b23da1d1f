// The texts the panel shows, composed as the status line holds them: narrow
// text of at most 511 bytes, counts as signed decimals.
#pragma once

#include <cstddef>
#include <string>

namespace panel_messages {

constexpr std::size_t kStatusBufferSize = 512;

inline constexpr char kCannotConnect[] = "Cannot connect to Glyvor";
inline constexpr char kListEmpty[] = "The list is empty";
inline constexpr char kNothingSelected[] = "No items are selected";
inline constexpr char kNoneActivated[] = "No fonts have been activated or installed";
// A command that failed before it could say anything else.
inline constexpr char kCommandFailed[] = "The command could not be completed; please try again";

// A status text as the status line takes it, composed in a buffer of its own so
// that telling the user needs no memory (the outcome of a refused allocation too).
struct StatusText {
    char text[kStatusBufferSize] = "";
    const char* c_str() const { return text; }
};

// "No missing fonts in opened documents" or "%i missing font(s) in opened documents";
// when the host's font list could not be read or shown whole, how many could be
// listed, so that the count is not taken for the whole.
StatusText MissingFontsStatus(std::size_t count, bool complete = true);
// The same when every missing font is listed but the fonts found before could not be
// taken off the lower list: they stay, and the status says that, not a partial list.
StatusText OffersKeptStatus(std::size_t count);
// What Find reports for the number of fonts found; when not every font found
// could be listed, how many were.
StatusText FoundFontsStatus(std::size_t count, bool complete = true);
// What an activate or install command reports for its successes.
StatusText ActivatedFontsStatus(int successes);
// What an activate or install command that was broken off reports: "Cannot connect
// to Glyvor" when the font manager failed, that the command could not be completed
// when memory did, after what had succeeded before the failure.
StatusText BrokenOffStatus(int successes, bool memory = false);
// A status followed by the note that a button pressed while it was being made was
// not acted on.
StatusText WithPressRefused(const char* status);

// The alert text of an activate or install command: an opening and the quoted
// names of the fonts that failed, separated by ", ".
class FailureText {
public:
    explicit FailureText(bool activate);
    void Add(const std::string& name);
    int Count() const { return m_count; }
    const std::string& Text() const { return m_text; }

private:
    std::string m_text;
    int m_count = 0;
};

// The help page and, when it cannot be opened, the alert's UTF-16 text.
std::wstring HelpAddress();
std::wstring HelpErrorText();

}  // namespace panel_messages

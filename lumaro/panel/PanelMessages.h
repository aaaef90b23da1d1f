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
// After a refresh or a command that stopped part-way (the host refused memory
// or a host string): the status line must not go on counting what is gone.
inline constexpr char kScanFailed[] = "The missing fonts could not be read";
inline constexpr char kCommandFailed[] = "The command could not be completed";

// "No missing fonts in opened documents" or "%i missing font(s) in opened documents".
std::string MissingFontsStatus(std::size_t count);
// What Find reports for the number of fonts found.
std::string FoundFontsStatus(std::size_t count);
// What an activate or install command reports for its successes.
std::string ActivatedFontsStatus(int successes);
// What an activate or install command that the font manager broke off reports:
// "Cannot connect to Glyvor", after what had succeeded before the failure.
std::string BrokenOffStatus(int successes);

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

#include <gtest/gtest.h>

#include <string>

#include "panel/PanelMessages.h"

namespace {

using namespace panel_messages;

std::string Text(const StatusText& status) { return status.c_str(); }

struct CountCase {
    std::size_t count;
    const char* text;
};

TEST(PanelStatus, MissingFontsByCount) {
    const CountCase cases[] = {
        {0, "No missing fonts in opened documents"},
        {1, "1 missing font(s) in opened documents"},
        {3, "3 missing font(s) in opened documents"},
        {2000, "2000 missing font(s) in opened documents"},
    };
    for (const auto& c : cases) EXPECT_EQ(Text(MissingFontsStatus(c.count)), c.text) << c.count;
}

TEST(PanelStatus, FoundFontsByCount) {
    const CountCase cases[] = {
        {0, "No appropriate fonts were found"},
        {1, "1 font has been found"},
        {2, "2 fonts have been found"},
        {17, "17 fonts have been found"},
    };
    for (const auto& c : cases) EXPECT_EQ(Text(FoundFontsStatus(c.count)), c.text) << c.count;
}

// What could be listed when the host would not tell or show everything: never a
// count the user would take for the whole.
TEST(PanelStatus, ListsNotWholeSayHowManyCouldBeListed) {
    const CountCase missing[] = {
        {0, "No missing fonts could be listed; press Refresh to try again"},
        {1, "Only 1 missing font(s) could be listed; press Refresh to try again"},
        {12, "Only 12 missing font(s) could be listed; press Refresh to try again"},
    };
    for (const auto& c : missing) EXPECT_EQ(Text(MissingFontsStatus(c.count, false)), c.text);
    const CountCase found[] = {
        {0, "None of the fonts found could be listed; press Find to try again"},
        {1, "Only 1 of the fonts found could be listed; press Find to try again"},
        {5, "Only 5 of the fonts found could be listed; press Find to try again"},
    };
    for (const auto& c : found) EXPECT_EQ(Text(FoundFontsStatus(c.count, false)), c.text);
}

TEST(PanelStatus, ActivatedFontsBySuccesses) {
    const struct {
        int successes;
        const char* text;
    } cases[] = {
        {0, "No fonts have been activated or installed"},
        {1, "1 font has been activated or installed"},
        {2, "2 fonts have been activated or installed"},
        {3, "3 fonts have been activated or installed"},
    };
    for (const auto& c : cases) EXPECT_EQ(Text(ActivatedFontsStatus(c.successes)), c.text);
}

TEST(PanelStatus, ABrokenOffCommandTellsWhatSucceededBeforeTheFailure) {
    const struct {
        int successes;
        const char* text;
        bool memory = false;
    } cases[] = {
        {0, "Cannot connect to Glyvor"},
        {1, "1 font has been activated or installed. Cannot connect to Glyvor"},
        {4, "4 fonts have been activated or installed. Cannot connect to Glyvor"},
        {0, "The command could not be completed; please try again", true},
        {2,
         "2 fonts have been activated or installed. The command could not be completed; "
         "please try again",
         true},
    };
    for (const auto& c : cases) EXPECT_EQ(Text(BrokenOffStatus(c.successes, c.memory)), c.text);
}

TEST(PanelFailureText, QuotesNamesWithSeparatorsOnlyBetweenThem) {
    const struct {
        bool activate;
        std::vector<std::string> names;
        const char* text;
    } cases[] = {
        {true, {}, "Failed to activate fonts: "},
        {false, {"Zapf Dingbats"}, "Failed to install fonts: \"Zapf Dingbats\""},
        {true, {"A", "B", "C"}, "Failed to activate fonts: \"A\", \"B\", \"C\""},
        {false, {"", "Optima"}, "Failed to install fonts: \"\", \"Optima\""},
    };
    for (const auto& c : cases) {
        FailureText failures(c.activate);
        for (const auto& name : c.names) failures.Add(name);
        EXPECT_EQ(failures.Text(), c.text);
        EXPECT_EQ(failures.Count(), static_cast<int>(c.names.size()));
    }
}

TEST(PanelHelpText, AddressAndErrorShareTheProductSite) {
    const std::wstring address = HelpAddress();
    const std::wstring path = L"plugins/lumaro-ai";
    ASSERT_GT(address.size(), path.size());
    EXPECT_EQ(address.substr(address.size() - path.size()), path);
    const std::wstring site = address.substr(0, address.size() - path.size());
    EXPECT_EQ(site.substr(0, 8), L"https://");
    EXPECT_EQ(site.substr(site.size() - 7), L"glyvor/");
    EXPECT_EQ(HelpErrorText(), L"Cannot open:\r\n" + site + L"\r\n" + path);
}

}  // namespace

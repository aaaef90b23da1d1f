// What a host or font manager answers that it never should: suites that vanish between
// two messages, a font list that changes length in the middle of a scan, names of any
// length and bytes, and output arguments of the wrong type.
#include <algorithm>
#include <functional>

#include "Validator.h"
#include "hostapi/messages.h"
#include "platform/emu/control.h"
#include "resources/PanelResourceIDs.h"

namespace {

class HostileAnswers : public Validator {
protected:
    void Restart() {
        TearDown();
        m_expectedProblems.clear();
        SetUp();
    }
    // The names of the suites the running plug-in holds ("name version (count)").
    Strings HeldSuiteNames() const {
        Strings names;
        for (const std::string& held : m_host->HeldSuites(m_plugin)) {
            const std::size_t version = held.find_last_of(' ', held.rfind(' ') - 1);
            names.push_back(held.substr(0, version));
        }
        return names;
    }
    // What Find asked the font manager to match, in order.
    std::vector<std::u16string> LookedUp() const {
        std::vector<std::u16string> names;
        for (const RecordedCall& call : m_glyvor->calls())
            if (call.member == kDispIdMatchFont && !call.arguments.empty())
                names.push_back(call.arguments[0].bstr);
        return names;
    }
};

// Between two messages (an unload and the reload after it) the host stops handing out a
// suite the plug-in held: it refuses it, or answers success with no suite. A suite the
// plug-in cannot do without fails the reload (the host sees the refusal's code, or
// kSuiteNotFoundErr for the null answer) and nothing is left held; every message after
// that answers 0 and touches nothing. Once the suite is back, the next reload brings
// the panel back to work.
TEST_F(HostileAnswers, SuitesThatVanishBetweenMessages) {
    Launch();
    const Strings suites = HeldSuiteNames();
    ASSERT_GT(suites.size(), 10u);
    for (const std::string& suite : suites) {
        for (const ASErr answer : {ASErr(kSuiteNotFoundErr), ASErr(kNoErr)}) {
            SCOPED_TRACE(suite + (answer == kNoErr ? ", answered null" : ", refused"));
            Restart();
            Launch();
            Offer("Alpha");
            OpenDocument({"Alpha"});
            ASSERT_EQ(Send(kSPAccessCaller, kSPAccessUnloadSelector), kNoErr);
            m_host->RefuseSuite(suite, true, answer);
            const ASErr reload = Send(kSPAccessCaller, kSPAccessReloadSelector);
            if (reload != kNoErr) {
                EXPECT_EQ(reload, answer != kNoErr ? answer : kSuiteNotFoundErr);
                EXPECT_TRUE(m_host->HeldSuites(m_plugin).empty());
                m_expectedProblems.push_back("Reload");
            }
            // The host goes on sending what it sends.
            OpenDocument({"Alpha", "Beta"});
            m_host->UpdateMenus();
            Press("Refresh");
            Press("Find");
            EXPECT_EQ(Send(kSPInterfaceCaller, kSPInterfaceAboutSelector), kNoErr);
            EXPECT_EQ(Send(kAIMenuCaller, kAIUpdateSelector), kNoErr);
            EXPECT_TRUE(DanglingRows().empty());
            m_host->RefuseSuite(suite, false);
            ASSERT_EQ(Send(kSPAccessCaller, kSPAccessUnloadSelector), kNoErr);
            ASSERT_EQ(Send(kSPAccessCaller, kSPAccessReloadSelector), kNoErr);
            OpenDocument({"Alpha", "Gamma"});
            EXPECT_EQ(Rows(kMissingList), Strings({"* Alpha", "* Gamma"}));
            Press("Find");
            EXPECT_EQ(Rows(kAvailableList), Strings({"Alpha"}));
        }
    }
}

// The host's font list changes length between the count and the index queries of a
// scan (at any font-suite call of it): shorter, the scan stops at the first font the
// host no longer has and says the list is incomplete; longer, it shows the fonts it
// counted. Either way every row is a font of one list or the other, the status counts
// the rows or says they are not all, Find looks up only what the rows show, and the
// refresh the host's change calls for shows the new list.
TEST_F(HostileAnswers, AFontListThatChangesLengthInTheMiddleOfAScan) {
    const Strings before = {"Alpha", "Beta", "Gamma", "Delta"};
    const struct {
        const char* name;
        Strings after;
    } changes[] = {
        {"shrinks", {"Alpha"}},
        {"empties", {}},
        {"grows", {"Alpha", "Beta", "Gamma", "Delta", "Epsilon", "Zeta"}},
    };
    Launch();
    OpenDocument(before);
    long fontCalls = 0;
    m_host->Faults().SetCallHook([&](const host::FaultSite& site, long) {
        if (std::string(site.suite) == kAIFontSuite) ++fontCalls;
    });
    Press("Refresh");
    m_host->Faults().SetCallHook(nullptr);
    ASSERT_GT(fontCalls, 8);
    for (const auto& change : changes) {
        for (long at = 1; at <= fontCalls; ++at) {
            SCOPED_TRACE(std::string(change.name) + " at font call " + std::to_string(at));
            Restart();
            Launch();
            for (const char* name : {"Alpha", "Beta", "Gamma", "Delta", "Epsilon", "Zeta"})
                Offer(name);
            OpenDocument(before);
            long call = 0;
            m_host->Faults().SetCallHook([&](const host::FaultSite& site, long) {
                if (std::string(site.suite) == kAIFontSuite && ++call == at)
                    m_fonts->SetDocumentFonts(Machine() + "/doc.pdf", change.after);
            });
            Press("Refresh");
            m_host->Faults().SetCallHook(nullptr);
            const Strings rows = Rows(kMissingList);
            Strings either = before;
            either.insert(either.end(), change.after.begin(), change.after.end());
            const std::string status = Status();
            const bool incomplete = status.find("press Refresh") != std::string::npos;
            // A font gone between its key and its name is listed without a name, as is
            // any font whose name the host will not give, and that is not reported.
            std::size_t named = 0;
            for (const std::string& row : rows) {
                if (row == "* ") continue;
                ++named;
                EXPECT_NE(std::find(either.begin(), either.end(), row.substr(2)), either.end())
                    << row;
            }
            if (!incomplete) {
                EXPECT_EQ(status, rows.empty() ? "No missing fonts in opened documents"
                                               : std::to_string(rows.size()) +
                                                     " missing font(s) in opened documents");
            }
            // Shorter before the walk ends: the fonts it read, and no count that
            // would pass for the whole.
            if (change.after.size() < before.size() && rows.size() < before.size() &&
                rows.size() != change.after.size()) {
                EXPECT_TRUE(incomplete) << status;
            }
            EXPECT_TRUE(DanglingRows().empty());
            if (!rows.empty()) {
                Press("Find");
                EXPECT_EQ(LookedUp().size(), named);
            }
            // The host announces its change.
            m_host->FireNotifier(kAIFontListChangedNotifier);
            Strings expected;
            for (const std::string& name : change.after) expected.push_back("* " + name);
            std::sort(expected.begin(), expected.end());
            EXPECT_EQ(Rows(kMissingList), expected);
        }
    }
}

// Names of every length and byte pattern, in code page 932. A narrow name is taken up to
// its first zero and at most 1023 bytes, terminated or not; the row shows it after "* ",
// Find looks it up (a name with nothing in it is not looked up) and the status counts it.
// Unicode names of any length and units (lone surrogates, zeros inside) cost nothing
// of that.
TEST_F(HostileAnswers, NamesOfEveryLengthAndBytePattern) {
    const struct {
        const char* name;
        std::string bytes;
        std::string shown;
        UINT codePage = 932;
    } names[] = {
        {"empty", "", ""},
        {"one byte", "A", "A"},
        {"1023 bytes", std::string(1023, 'A'), std::string(1023, 'A')},
        {"1024 bytes, no terminator", std::string(1024, 'B'), std::string(1023, 'B')},
        {"1025 bytes", std::string(1025, 'C'), std::string(1023, 'C')},
        {"4000 bytes", std::string(4000, 'D'), std::string(1023, 'D')},
        {"embedded zero", std::string("Al\0pha", 6), "Al"},
        {"zero first", std::string("\0Alpha", 6), ""},
        {"lead byte last", "Alpha\x82", "Alpha\x82"},
        {"lead byte then a byte no trail", "Al\x82\x20pha", "Al\x82\x20pha"},
        // The cut at 1023 bytes would leave half a character: it goes.
        {"lead byte at the buffer's end", std::string(1022, 'E') + "\x82\x60",
         std::string(1022, 'E')},
        {"bytes no code page uses", "\xFF\xFE\xFD\xA0\x80", "\xFF\xFE\xFD\xA0\x80"},
        {"double-byte name", "\x83\x41\x83\x8B\x83\x74\x83\x40",
         "\x83\x41\x83\x8B\x83\x74\x83\x40"},
        // In UTF-8 the cut may leave up to three bytes of a character.
        {"UTF-8, two bytes of four left", std::string(1021, 'F') + "\xF0\x9F\x98\x80",
         std::string(1021, 'F'), CP_UTF8},
        {"UTF-8, three bytes of four left", std::string(1020, 'G') + "\xF0\x9F\x98\x80",
         std::string(1020, 'G'), CP_UTF8},
    };
    for (const auto& n : names) {
        SCOPED_TRACE(n.name);
        Restart();
        ASSERT_TRUE(EmuSetThreadCodePage(n.codePage));
        Launch();
        m_fontService->AnswerNarrowName(0, n.bytes);
        OpenDocument({"Alpha"});
        EXPECT_EQ(Rows(kMissingList), Strings({"* " + n.shown}));
        EXPECT_EQ(Status(), "1 missing font(s) in opened documents");
        Press("Find");
        const auto lookedUp = LookedUp();
        if (n.shown.empty()) {
            EXPECT_TRUE(lookedUp.empty());
        } else {
            ASSERT_EQ(lookedUp.size(), 1u);
            EXPECT_FALSE(lookedUp[0].empty());
            EXPECT_LE(lookedUp[0].size(), n.shown.size());
            EXPECT_EQ(lookedUp[0].find(u'\0'), std::u16string::npos);
            if (std::all_of(n.shown.begin(), n.shown.end(),
                            [](char c) { return static_cast<unsigned char>(c) < 0x80; })) {
                EXPECT_EQ(lookedUp[0], std::u16string(n.shown.begin(), n.shown.end()));
            }
        }
        EXPECT_EQ(Status(), "No appropriate fonts were found");
        EXPECT_TRUE(EmuSetThreadCodePage(1252));
    }
    const struct {
        const char* name;
        std::u16string units;
    } unicodeNames[] = {
        {"empty", u""},
        {"lone high surrogate", u"Al\xD800pha"},
        {"lone low surrogate", u"\xDC00"},
        {"high surrogate last", u"Alpha\xD83D"},
        {"embedded zero", std::u16string(u"Al\0pha", 6)},
        {"1023 units", std::u16string(1023, u'A')},
        {"1024 units", std::u16string(1024, u'A')},
        {"1025 units", std::u16string(1025, u'A')},
        {"4000 units", std::u16string(4000, u'A')},
        {"a pair split at 1023", std::u16string(1022, u'A') + u"\xD83D\xDE00"},
    };
    using host::fontsuite::FontQuery;
    for (const auto& n : unicodeNames) {
        SCOPED_TRACE(n.name);
        Restart();
        Launch();
        Offer("Alpha");
        for (FontQuery query :
             {FontQuery::PostScript, FontQuery::FullName, FontQuery::Family, FontQuery::Style})
            m_fontService->AnswerUnicodeName(query, 0, n.units);
        OpenDocument({"Alpha"});
        EXPECT_EQ(Rows(kMissingList), Strings({"* Alpha"}));
        Press("Find");
        EXPECT_EQ(Rows(kAvailableList), Strings({"Alpha"}));
        EXPECT_EQ(Status(), "1 font has been found");
    }
}

// The font manager answers an output of the wrong type (VT_I4 or VT_EMPTY written over
// the argument instead of through it), a null BSTR, or a huge one. An offer without
// an identifier, or a match flag that never came, is no offer; a huge identifier is
// used as it is; a load whose flag never came failed, and the user is told which font;
// a state that never came means the font still needs loading.
TEST_F(HostileAnswers, OutputsOfTheWrongTypeFromTheFontManager) {
    const std::u16string huge(kHugeBstrUnits, u'x');
    const struct {
        const char* name;
        DISPID member;
        UINT position;
        OutputFault fault;
        bool loadFails;
        Strings offered;
        bool activated;
    } cases[] = {
        {"identifier as VT_I4", kDispIdMatchFont, 8, OutputFault::WritesI4, false, {}, false},
        {"identifier as VT_EMPTY", kDispIdMatchFont, 8, OutputFault::WritesEmpty, false, {}, false},
        {"identifier null", kDispIdMatchFont, 8, OutputFault::NullBstr, false, {}, false},
        {"identifier huge", kDispIdMatchFont, 8, OutputFault::HugeBstr, false, {"Alpha"}, true},
        {"detail as VT_I4", kDispIdMatchFont, 9, OutputFault::WritesI4, false, {"Alpha"}, true},
        {"detail null", kDispIdMatchFont, 9, OutputFault::NullBstr, false, {"Alpha"}, true},
        {"detail huge", kDispIdMatchFont, 9, OutputFault::HugeBstr, false, {"Alpha"}, true},
        {"match flag as VT_I4", kDispIdMatchFont, 10, OutputFault::WritesI4, false, {}, false},
        {"match flag as VT_EMPTY",
         kDispIdMatchFont,
         10,
         OutputFault::WritesEmpty,
         false,
         {},
         false},
        {"state as VT_I4", kDispIdGetFontState, 2, OutputFault::WritesI4, false, {"Alpha"}, true},
        {"loaded flag as VT_I4",
         kDispIdLoadFont,
         5,
         OutputFault::WritesI4,
         false,
         {"Alpha"},
         false},
        {"loaded flag as VT_EMPTY",
         kDispIdLoadFont,
         5,
         OutputFault::WritesEmpty,
         false,
         {"Alpha"},
         false},
        {"reason as VT_I4", kDispIdLoadFont, 4, OutputFault::WritesI4, true, {"Alpha"}, false},
        {"reason null", kDispIdLoadFont, 4, OutputFault::NullBstr, true, {"Alpha"}, false},
        {"reason huge", kDispIdLoadFont, 4, OutputFault::HugeBstr, true, {"Alpha"}, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Restart();
        Launch();
        Offer("Alpha");
        m_glyvor->states[u"id-Alpha"] = 0;
        m_glyvor->loads[huge] = {true, u""};
        if (c.loadFails) m_glyvor->loads[u"id-Alpha"] = {false, u"no licence"};
        m_glyvor->outputFaults[{c.member, c.position}] = c.fault;
        OpenDocument({"Alpha"});
        Press("Find");
        EXPECT_EQ(Rows(kAvailableList), c.offered);
        if (c.offered.empty()) {
            EXPECT_EQ(Status(), "No appropriate fonts were found");
            continue;
        }
        EXPECT_EQ(Status(), "1 font has been found");
        Alerts();
        Press("Activate All");
        const Strings alerts = Alerts();
        if (c.activated) {
            EXPECT_EQ(Status(), "1 font has been activated or installed");
            EXPECT_TRUE(alerts.empty()) << alerts.front();
        } else {
            ASSERT_EQ(alerts.size(), 1u) << Status();
            EXPECT_NE(alerts[0].find("\"Alpha\""), std::string::npos) << alerts[0];
        }
        // The identifier went to the font manager as it came.
        const std::u16string id = c.fault == OutputFault::HugeBstr && c.position == 8
                                      ? huge
                                      : std::u16string(u"id-Alpha");
        for (const RecordedCall& call : m_glyvor->calls())
            if (call.member == kDispIdLoadFont || call.member == kDispIdGetFontState) {
                EXPECT_TRUE(call.arguments.at(0).bstr == id);
            }
    }
}

// Parts of a refresh the host will not do, after Find, with a dialog manager that
// refuses removals: a kept row it will not hand back keeps its record and only that
// one; offers it will not let go are said to be kept. The rows, the status and what
// Find looks up agree.
TEST_F(HostileAnswers, WhatARefreshCouldNotDoIsToldTruly) {
    const auto failIndexEntry = [this](long n) {
        m_host->Faults().FailNth(host::FaultKind::SuiteCall, n, kBadParameterErr, "", "IndexEntry");
    };
    const struct {
        const char* name;
        std::function<void()> hostile;
        const char* status;
        Strings missing;
        Strings available;
    } cases[] = {
        {"a missing row kept",
         [&] { failIndexEntry(2); },
         "Only 1 missing font(s) could be listed; press Refresh to try again",
         {"* Beta"},
         {}},
        {"an offer kept",
         [&] { failIndexEntry(8); },
         "3 missing font(s) in opened documents; the fonts found before could not be cleared; "
         "press Refresh to try again",
         {"* Alpha", "* Beta", "* Gamma"},
         {"Beta"}},
    };
    const auto shown = [this](ASInt32 list) {
        Strings rows = Rows(list);
        rows.erase(std::remove(rows.begin(), rows.end(), ""), rows.end());
        return rows;
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Restart();
        Launch();
        for (const char* name : {"Alpha", "Beta", "Gamma"}) Offer(name);
        OpenDocument({"Alpha", "Beta", "Gamma"});
        Press("Find");
        m_dialogs->Manager().SetRefusesRemoval(true);
        c.hostile();
        Press("Refresh");
        m_host->Faults().Clear();
        EXPECT_EQ(shown(kMissingList), c.missing);
        EXPECT_EQ(shown(kAvailableList), c.available);
        EXPECT_EQ(Status(), c.status);
        EXPECT_TRUE(DanglingRows().empty());
        const std::size_t before = LookedUp().size();
        Press("Find");
        std::vector<std::u16string> expected;
        for (const std::string& row : c.missing)
            if (row.size() > 2) expected.emplace_back(row.begin() + 2, row.end());
        const auto lookedUp = LookedUp();
        EXPECT_EQ(std::vector<std::u16string>(lookedUp.begin() + before, lookedUp.end()), expected);
    }
}

// Memory refused at each allocation of Find and of Activate All: the font manager
// answered every call, so no status blames the connection.
TEST_F(HostileAnswers, MemoryRefusedInACommandIsNotTheConnection) {
    for (const char* button : {"Find", "Activate All"}) {
        for (std::size_t n = 1; n <= 30; ++n) {
            SCOPED_TRACE(std::string(button) + ", refused allocation " + std::to_string(n));
            Restart();
            Launch();
            for (const char* name : {"Alpha", "Beta", "Gamma"}) Offer(name);
            OpenDocument({"Alpha", "Beta", "Gamma"});
            if (std::string(button) != "Find") Press("Find");
            m_host->Memory().RefuseNthAllocation(n);
            Press(button);
            m_host->Memory().RefuseNthAllocation(0);
            EXPECT_EQ(Status().find("Cannot connect"), std::string::npos) << Status();
            EXPECT_TRUE(DanglingRows().empty());
        }
    }
}

}  // namespace

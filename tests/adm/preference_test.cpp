#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>

#include "host/host.h"
#include "host/prefs/preference_store.h"
#include "platform/emu/control.h"

namespace {

namespace fs = std::filesystem;
using host::prefs::PreferenceError;
using host::prefs::PreferenceStore;

class PreferenceTest : public ::testing::Test {
protected:
    void SetUp() override {
        folder = fs::temp_directory_path() /
                 ("adm-prefs-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
                  "-" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(folder);
        fs::create_directories(folder);
    }
    void TearDown() override { fs::remove_all(folder); }
    std::string ReadFile() {
        std::ifstream in(folder / "Preferences.txt", std::ios::binary);
        std::stringstream s;
        s << in.rdbuf();
        return s.str();
    }
    fs::path folder;
    const AIPreferenceSuite4& suite = host::prefs::PreferenceSuite();
};

TEST_F(PreferenceTest, EveryTypeSurvivesARestart) {
    const std::string anyBytes = std::string("tab\there\nnew line %41 \x01\xFF\xE9 end");
    {
        PreferenceStore store(folder.string());
        ASSERT_EQ(suite.PutIntegerPreference("LumaroDialog", "kLumaro_DPDockCodeStr", -65536), 0);
        ASSERT_EQ(
            suite.PutStringPreference("LumaroDialog", "kLumaro_DPDockGroupStr", anyBytes.c_str()),
            0);
        AIPoint location{-12, 340};
        ASSERT_EQ(suite.PutPointPreference("LumaroDialog", "kLumaro_DPLocationStr", &location), 0);
        ASSERT_EQ(suite.PutBooleanPreference("LumaroDialog", "kLumaro_DPVisibleStr", true), 0);
        ASSERT_EQ(suite.PutRealPreference("Other Prefix", "key with blanks", 0.1), 0);
        ASSERT_EQ(suite.PutStringPreference("LumaroDialog", "empty", ""), 0);
        ASSERT_EQ(suite.PutRealPreference("", "", -1.0 / 0.0), 0);
    }
    EXPECT_EQ(suite.PutIntegerPreference("p", "k", 1), kBadParameterErr);  // no host running

    PreferenceStore fresh(folder.string());
    EXPECT_EQ(fresh.Size(), 7u);
    EXPECT_EQ(fresh.Get("", ""), host::prefs::PreferenceValue::Real(-1.0 / 0.0));
    ASInt32 code = 0;
    EXPECT_EQ(suite.GetIntegerPreference("LumaroDialog", "kLumaro_DPDockCodeStr", &code), 0);
    EXPECT_EQ(code, -65536);
    char text[128];
    EXPECT_EQ(
        suite.GetStringPreference("LumaroDialog", "kLumaro_DPDockGroupStr", text, sizeof text), 0);
    EXPECT_EQ(std::string(text), anyBytes);
    AIPoint p{0, 0};
    EXPECT_EQ(suite.GetPointPreference("LumaroDialog", "kLumaro_DPLocationStr", &p), 0);
    EXPECT_EQ(p.h, -12);
    EXPECT_EQ(p.v, 340);
    ASBoolean visible = false;
    EXPECT_EQ(suite.GetBooleanPreference("LumaroDialog", "kLumaro_DPVisibleStr", &visible), 0);
    EXPECT_TRUE(visible);
    double real = 0;
    EXPECT_EQ(suite.GetRealPreference("Other Prefix", "key with blanks", &real), 0);
    EXPECT_EQ(real, 0.1);  // exactly, not nearly
    EXPECT_EQ(suite.GetStringPreference("LumaroDialog", "empty", text, sizeof text), 0);
    EXPECT_STREQ(text, "");
}

TEST_F(PreferenceTest, MissingKeysWrongTypesAndBadArguments) {
    PreferenceStore store(folder.string());
    ASSERT_EQ(suite.PutIntegerPreference("P", "K", 7), 0);
    ASInt32 i = 99;
    EXPECT_EQ(suite.GetIntegerPreference("P", "other", &i), kNotFoundErr);
    EXPECT_EQ(suite.GetIntegerPreference("p", "K", &i), kNotFoundErr);  // names are exact
    EXPECT_EQ(i, 99);                                                   // untouched
    ASBoolean b = 2;
    EXPECT_EQ(suite.GetBooleanPreference("P", "K", &b), kNotFoundErr);
    EXPECT_EQ(b, 2);
    EXPECT_EQ(suite.GetIntegerPreference(nullptr, "K", &i), kBadParameterErr);
    EXPECT_EQ(suite.GetIntegerPreference("P", "K", nullptr), kBadParameterErr);
    EXPECT_EQ(suite.PutStringPreference("P", "S", nullptr), kBadParameterErr);
    EXPECT_EQ(suite.PutPointPreference("P", "S", nullptr), kBadParameterErr);
    char c[1];
    EXPECT_EQ(suite.GetStringPreference("P", "K", c, 0), kBadParameterErr);
}

TEST_F(PreferenceTest, StringIsTruncatedAndTerminatedInsideTheBuffer) {
    PreferenceStore store(folder.string());
    ASSERT_EQ(suite.PutStringPreference("P", "S", "abcdefgh"), 0);
    char buf[5] = {'x', 'x', 'x', 'x', 'x'};
    EXPECT_EQ(suite.GetStringPreference("P", "S", buf, sizeof buf), 0);
    EXPECT_STREQ(buf, "abcd");
}

TEST_F(PreferenceTest, ALaterPutReplacesTheValueAndItsType) {
    PreferenceStore store(folder.string());
    ASSERT_EQ(suite.PutIntegerPreference("P", "K", 1), 0);
    ASSERT_EQ(suite.PutBooleanPreference("P", "K", false), 0);
    ASSERT_EQ(suite.RemovePreference("P", "gone"), kNotFoundErr);
    PreferenceStore fresh(folder.string());
    EXPECT_EQ(fresh.Size(), 1u);
    EXPECT_EQ(fresh.Get("P", "K"), host::prefs::PreferenceValue::Boolean(false));
    EXPECT_EQ(suite.RemovePreference("P", "K"), 0);
    EXPECT_EQ(PreferenceStore(folder.string()).Size(), 0u);
}

TEST_F(PreferenceTest, DamagedFilesAreReportedByLineAndLeftAlone) {
    const char* damaged[] = {
        "integer\tP\tK\t12x\n",  "integer\tP\tK\t99999999999\n",
        "boolean\tP\tK\tyes\n",  "point\tP\tK\t1\n",
        "string\tP\tK\tbad%4\n", "colour\tP\tK\tred\n",
        "integer\tP\tK\n",       "real\tP\tK\t\n",
    };
    for (const char* line : damaged) {
        std::string content = std::string("# comment\ninteger\tP\tgood\t1\n") + line;
        {
            std::ofstream out(folder / "Preferences.txt", std::ios::binary | std::ios::trunc);
            out << content;
        }
        try {
            PreferenceStore store(folder.string());
            ADD_FAILURE() << "accepted: " << line;
        } catch (const PreferenceError& e) {
            EXPECT_NE(std::string(e.what()).find("line 3"), std::string::npos) << e.what();
        }
        EXPECT_EQ(ReadFile(), content);
    }
}

TEST_F(PreferenceTest, AFailedWriteKeepsTheOldValue) {
    PreferenceStore store(folder.string());
    ASSERT_EQ(suite.PutIntegerPreference("P", "K", 1), 0);
    // A folder where the file should be makes the rename fail.
    fs::path blocked = folder / "blocked";
    fs::create_directories(blocked / "Preferences.txt");
    PreferenceStore other(blocked.string());
    EXPECT_EQ(suite.PutIntegerPreference("P", "K", 2), host::prefs::kPreferenceWriteErr);
    EXPECT_FALSE(other.Get("P", "K").has_value());
    EXPECT_FALSE(fs::exists(blocked / "Preferences.txt.new"));
}

TEST_F(PreferenceTest, TheHostOffersTheSuiteOverTheMachineFolder) {
    const char* previous = EmuGetMachineFolder();
    std::string saved = previous ? previous : "";
    EmuSetMachineFolder(folder.string().c_str());
    {
        host::Host app;
        host::prefs::RegisterPreferenceSuite(app.Suites());
        PreferenceStore store(PreferenceStore::MachineFolder());
        const auto* offered = static_cast<const AIPreferenceSuite4*>(
            app.Suites().Find(kAIPreferenceSuite, kAIPreferenceSuiteVersion));
        ASSERT_EQ(offered, &suite);
        ASSERT_EQ(offered->PutIntegerPreference("LumaroDialog", "kLumaro_DPDockCodeStr", 3), 0);
    }
    EmuSetMachineFolder(saved.empty() ? nullptr : saved.c_str());
    EXPECT_NE(ReadFile().find("integer\tLumaroDialog\tkLumaro_DPDockCodeStr\t3\n"),
              std::string::npos)
        << ReadFile();
}

}  // namespace

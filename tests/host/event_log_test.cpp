#include "host/event_log.h"

#include <gtest/gtest.h>

#include "hostapi/errors.h"

namespace {

TEST(EventLog, ErrorCodesPrintAsFourCharactersOrNumbers) {
    const std::pair<ASErr, const char*> cases[] = {
        {kSuiteNotFoundErr, "'S!Fd'"},
        {kUnhandledMsgErr, "'!MSG'"},
        {0, "0"},
        {361, "361"},
        {-1, "-1"},
        {0x41000001, "1090519041"},
    };
    for (const auto& [code, text] : cases) EXPECT_EQ(host::FormatErrorCode(code), text);
}

TEST(EventLog, KeepsOrderAndSelectsByKindAndPosition) {
    host::EventLog log;
    log.Add(host::EventKind::Message, "A", "SP Interface/Startup", "", kOutOfMemoryErr);
    log.Add(host::EventKind::Alert, "A", "error alert", "boom");
    log.Add(host::EventKind::Message, "B", "SP Interface/Startup");
    EXPECT_EQ(log.Count(host::EventKind::Message), 2u);
    ASSERT_EQ(log.Since(1).size(), 2u);
    EXPECT_EQ(log.Since(1)[0].detail, "boom");
    EXPECT_TRUE(log.Since(3).empty());
    EXPECT_EQ(log.Events()[0].ToString(), "[message] A: SP Interface/Startup -> '!MEM'");
    EXPECT_EQ(log.Events()[1].ToString(), "[alert] A: error alert \"boom\"");
}

}  // namespace

// The sanitizer build really is one: a test run that claims the sanitizers
// must have them compiled in.
#include <gtest/gtest.h>

TEST(SanitizerTest, AddressSanitizerIsOnInTheSanitizerBuild) {
#if defined(LUMARO_SANITIZED)
#if defined(__SANITIZE_ADDRESS__)
    SUCCEED();
#else
    FAIL() << "LUMARO_SANITIZE is on but the code was not built with AddressSanitizer";
#endif
#else
    GTEST_SKIP() << "not the sanitizer build";
#endif
}

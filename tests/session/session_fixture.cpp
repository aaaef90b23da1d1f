#include "session_fixture.h"

#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "run.h"

namespace fs = std::filesystem;

void SessionTest::SetUp() {
    std::string pattern = (fs::temp_directory_path() / "lumaro-session-test-XXXXXX").string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    m_root = pattern;
    fs::create_directories(Demo());
    const std::string make = std::string(SESSION_MAKE_SAMPLES) + " " + Samples() + " >/dev/null";
    ASSERT_EQ(std::system(make.c_str()), 0) << make;
    setenv("SAMPLES", Samples().c_str(), 1);
    setenv("DEMO", Demo().c_str(), 1);
}

void SessionTest::TearDown() {
    std::error_code ignored;
    fs::remove_all(m_root, ignored);
}

SessionTest::Run SessionTest::RunHost(const std::vector<std::string>& args,
                                      const std::string& input) {
    std::istringstream in(input);
    std::ostringstream out, err;
    const int status = cli::RunLumaroHost(args, in, out, err);
    return {status, out.str(), err.str()};
}

host::session::SessionOptions SessionTest::Options(const std::string& plugins) const {
    host::session::SessionOptions options;
    options.pluginsFolder = plugins;
    options.baseFolder = m_root;
    return options;
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
}

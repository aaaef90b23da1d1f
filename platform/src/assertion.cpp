#include "platform/emu/assertion.h"

#include <mutex>
#include <string>
#include <vector>

#include "platform/emu/control.h"

namespace {

struct Report {
    std::string expression;
    std::string source;
    int line;
};

struct Channel {
    std::mutex mutex;
    std::vector<Report> reports;
    EmuAssertionSink sink = nullptr;
    void* context = nullptr;
};

Channel& channel() {
    static Channel instance;
    return instance;
}

}  // namespace

void PlatformReportAssertion(const char* expression, const char* source, int line) {
    Channel& c = channel();
    EmuAssertionSink sink;
    void* context;
    {
        std::lock_guard<std::mutex> lock(c.mutex);
        c.reports.push_back({expression ? expression : "", source ? source : "", line});
        sink = c.sink;
        context = c.context;
    }
    // Called outside the lock, so a sink may report or read the records itself.
    if (sink != nullptr) sink(expression ? expression : "", source ? source : "", line, context);
}

void EmuSetAssertionSink(EmuAssertionSink sink, void* context) {
    Channel& c = channel();
    std::lock_guard<std::mutex> lock(c.mutex);
    c.sink = sink;
    c.context = context;
}

ULONG EmuAssertionCount(void) {
    Channel& c = channel();
    std::lock_guard<std::mutex> lock(c.mutex);
    return static_cast<ULONG>(c.reports.size());
}

BOOL EmuAssertionAt(ULONG index, const char** expression, const char** source, int* line) {
    Channel& c = channel();
    std::lock_guard<std::mutex> lock(c.mutex);
    if (index >= c.reports.size()) return FALSE;
    const Report& r = c.reports[index];
    if (expression != nullptr) *expression = r.expression.c_str();
    if (source != nullptr) *source = r.source.c_str();
    if (line != nullptr) *line = r.line;
    return TRUE;
}

void EmuClearAssertions(void) {
    Channel& c = channel();
    std::lock_guard<std::mutex> lock(c.mutex);
    c.reports.clear();
}

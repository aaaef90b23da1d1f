// The plug-in's debug assertions arrive through the platform layer's channel.
#include "assertion_sink.h"

#include "host/host.h"

#ifdef HOST_WITH_EMU_ASSERTIONS
#include "platform/emu/control.h"
#endif

namespace host::detail {

#ifdef HOST_WITH_EMU_ASSERTIONS
namespace {
void Sink(const char* expression, const char* source, int line, void* context) {
    static_cast<Host*>(context)->RecordAssertion(expression, source, line);
}
}  // namespace

void InstallAssertionSink(Host* host) {
    if (host != nullptr)
        EmuSetAssertionSink(Sink, host);
    else
        EmuSetAssertionSink(nullptr, nullptr);
}
#else
void InstallAssertionSink(Host*) {}
#endif

}  // namespace host::detail

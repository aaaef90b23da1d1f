#include "platform/emu/clock.h"

#include <chrono>
#include <cstdint>

#include "platform/emu/control.h"

namespace {

// Seconds from 1601-01-01 to 1970-01-01.
constexpr std::int64_t kEpochOffsetSeconds = 11644473600;
constexpr std::int64_t kIntervalsPerSecond = 10000000;

bool g_fixed = false;
FILETIME g_fixedTime{};

}  // namespace

void GetSystemTimeAsFileTime(LPFILETIME time) {
    if (time == nullptr) return;
    if (g_fixed) {
        *time = g_fixedTime;
        return;
    }
    using namespace std::chrono;
    const std::int64_t sinceUnixEpoch =
        duration_cast<nanoseconds>(system_clock::now().time_since_epoch()).count() / 100;
    const auto intervals =
        static_cast<std::uint64_t>(sinceUnixEpoch + kEpochOffsetSeconds * kIntervalsPerSecond);
    time->dwLowDateTime = static_cast<DWORD>(intervals & 0xFFFFFFFFu);
    time->dwHighDateTime = static_cast<DWORD>(intervals >> 32);
}

void EmuSetSystemTime(const FILETIME* time) {
    g_fixed = time != nullptr;
    if (time != nullptr) g_fixedTime = *time;
}

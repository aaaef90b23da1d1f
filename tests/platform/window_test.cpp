#include <gtest/gtest.h>

#include <vector>

#include "platform/emu/control.h"
#include "platform/win32.h"

namespace {

struct Received {
    std::vector<UINT> messages;
    HWND self = nullptr;
};

LRESULT Record(HWND window, UINT message, WPARAM, LPARAM, void* context) {
    auto* received = static_cast<Received*>(context);
    received->messages.push_back(message);
    received->self = window;
    return 77;
}

class Windows : public ::testing::Test {
protected:
    void SetUp() override {
        EmuResetCounters();
        for (auto& r : m_received) m_windows.push_back(EmuCreateTopLevelWindow(Record, &r));
    }
    void TearDown() override {
        for (HWND w : m_windows) EmuDestroyWindow(w);
        EmuResetCounters();
    }
    size_t DeliveredTo(size_t i) const { return m_received[i].messages.size(); }

    Received m_received[3];
    std::vector<HWND> m_windows;
};

TEST_F(Windows, BroadcastReachesEveryWindowSynchronously) {
    EXPECT_EQ(SendMessageW(HWND_BROADCAST, WM_FONTCHANGE, 0, 0), 0);
    for (size_t i = 0; i < 3; ++i) {
        ASSERT_EQ(DeliveredTo(i), 1u) << i;
        EXPECT_EQ(m_received[i].messages[0], static_cast<UINT>(WM_FONTCHANGE));
        EXPECT_EQ(m_received[i].self, m_windows[i]);
    }
    ASSERT_EQ(EmuBroadcastCount(), 1u);
    EmuBroadcast b;
    ASSERT_TRUE(EmuBroadcastAt(0, &b));
    EXPECT_EQ(b.message, static_cast<UINT>(WM_FONTCHANGE));
    EXPECT_EQ(b.function, EMU_SEND_MESSAGE);
    EXPECT_EQ(b.wParam, 0u);
    EXPECT_EQ(b.lParam, 0);
    EXPECT_EQ(b.delivered, 3u);
    EXPECT_FALSE(b.frozen);
    EXPECT_FALSE(EmuBroadcastAt(1, &b));
    EXPECT_EQ(EmuFrozenBroadcastCount(), 0u);
}

TEST_F(Windows, SendMessageToAHungWindowIsRecordedAsAFrozenHost) {
    ASSERT_TRUE(EmuSetWindowHung(m_windows[1], TRUE));
    EXPECT_EQ(SendMessageW(HWND_BROADCAST, WM_FONTCHANGE, 0, 0), 0)
        << "returns instead of blocking";
    EXPECT_EQ(DeliveredTo(0), 1u);
    EXPECT_EQ(DeliveredTo(1), 0u);
    EXPECT_EQ(DeliveredTo(2), 0u) << "the real call never gets past the hung window";
    EXPECT_EQ(EmuFrozenBroadcastCount(), 1u);
    EmuBroadcast b;
    ASSERT_TRUE(EmuBroadcastAt(0, &b));
    EXPECT_TRUE(b.frozen);
    EXPECT_EQ(b.delivered, 1u);

    EXPECT_EQ(SendMessageW(m_windows[1], WM_FONTCHANGE, 0, 0), 0);
    EXPECT_EQ(EmuFrozenBroadcastCount(), 2u) << "a direct send freezes as well";
}

TEST_F(Windows, SendMessageTimeoutSkipsOrWaitsOutHungWindows) {
    ASSERT_TRUE(EmuSetWindowHung(m_windows[0], TRUE));
    struct Case {
        UINT flags;
        UINT waited;
    };
    const Case cases[] = {{SMTO_ABORTIFHUNG, 0}, {SMTO_NORMAL, 500}, {SMTO_BLOCK, 500}};
    for (const auto& c : cases) {
        EmuResetCounters();
        for (auto& r : m_received) r.messages.clear();
        EXPECT_NE(SendMessageTimeoutW(HWND_BROADCAST, WM_FONTCHANGE, 0, 0, c.flags, 500, nullptr),
                  0);
        EXPECT_EQ(DeliveredTo(0), 0u);
        EXPECT_EQ(DeliveredTo(1), 1u);
        EXPECT_EQ(DeliveredTo(2), 1u) << "later windows are still reached";
        EmuBroadcast b;
        ASSERT_TRUE(EmuBroadcastAt(0, &b));
        EXPECT_EQ(b.function, EMU_SEND_MESSAGE_TIMEOUT);
        EXPECT_EQ(b.flags, c.flags);
        EXPECT_EQ(b.timeoutMs, 500u);
        EXPECT_EQ(b.delivered, 2u);
        EXPECT_EQ(b.skipped, 1u);
        EXPECT_EQ(b.waitedMs, c.waited) << "flags " << c.flags;
        EXPECT_FALSE(b.frozen);
        EXPECT_EQ(EmuFrozenBroadcastCount(), 0u);
    }
}

TEST_F(Windows, DirectSendsAnswerTheProceduresResult) {
    EXPECT_EQ(SendMessageW(m_windows[2], WM_NULL, 0, 0), 77);
    DWORD_PTR result = 0;
    EXPECT_EQ(SendMessageTimeoutW(m_windows[2], WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 100, &result), 1);
    EXPECT_EQ(result, 77u);
    EXPECT_EQ(EmuBroadcastCount(), 0u) << "only broadcasts are recorded";

    EmuSetWindowHung(m_windows[2], TRUE);
    SetLastError(0);
    EXPECT_EQ(SendMessageTimeoutW(m_windows[2], WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 100, &result), 0);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_TIMEOUT));

    HWND gone = m_windows[0];
    ASSERT_TRUE(EmuDestroyWindow(gone));
    EXPECT_FALSE(EmuDestroyWindow(gone));
    EXPECT_FALSE(EmuSetWindowHung(gone, TRUE));
    SetLastError(0);
    EXPECT_EQ(SendMessageW(gone, WM_NULL, 0, 0), 0);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_WINDOW_HANDLE));
    EXPECT_EQ(EmuCreateTopLevelWindow(nullptr, nullptr), nullptr);
}

// A window whose procedure destroys the next window: the broadcast must not reach it.
LRESULT DestroyNext(HWND, UINT, WPARAM, LPARAM, void* context) {
    EmuDestroyWindow(*static_cast<HWND*>(context));
    return 0;
}

TEST_F(Windows, AProcedureMayDestroyWindowsDuringABroadcast) {
    // Created after the three: the killer runs before the late window, and destroys it.
    HWND late = nullptr;
    HWND killer = EmuCreateTopLevelWindow(DestroyNext, &late);
    Received lateReceived;
    late = EmuCreateTopLevelWindow(Record, &lateReceived);
    SendMessageW(HWND_BROADCAST, WM_FONTCHANGE, 0, 0);
    EmuBroadcast b;
    ASSERT_TRUE(EmuBroadcastAt(0, &b));
    EXPECT_EQ(b.delivered, 4u) << "the three windows and the killer";
    EXPECT_TRUE(lateReceived.messages.empty()) << "a destroyed window receives nothing";
    EmuDestroyWindow(killer);
}

}  // namespace

// Top-level windows and the messages sent to them, delivered synchronously.
#include "platform/emu/window.h"

#include <map>
#include <mutex>
#include <vector>

#include "internal.h"
#include "platform/emu/control.h"

namespace {

struct Window {
    EmuWindowProcedure procedure;
    void* context;
    bool hung;
};

// A message another thread sent, waiting for this one to take it.
struct SentMessage {
    uintptr_t window;  // or HWND_BROADCAST's value
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};

struct ScheduledMessage {
    ULONG callsToGo;  // Invokes still to start before it is sent
    SentMessage sent;
};

struct Windows {
    std::mutex mutex;
    std::vector<SentMessage> pending;
    std::vector<ScheduledMessage> scheduled;
    // Keyed by handle; handles grow, so the map's order is creation order.
    std::map<uintptr_t, Window> windows;
    uintptr_t nextHandle = 0x20000;
    std::vector<EmuBroadcast> broadcasts;
    ULONG frozen = 0;
};

Windows& state() {
    static Windows instance;
    return instance;
}

HWND ToHandle(uintptr_t key) { return reinterpret_cast<HWND>(key); }
uintptr_t ToKey(HWND window) { return reinterpret_cast<uintptr_t>(window); }

std::vector<uintptr_t> Snapshot() {
    Windows& s = state();
    std::lock_guard<std::mutex> lock(s.mutex);
    std::vector<uintptr_t> keys;
    for (const auto& entry : s.windows) keys.push_back(entry.first);
    return keys;
}

// The window as it is now: a procedure may have destroyed or hung another one.
bool Lookup(uintptr_t key, Window* window) {
    Windows& s = state();
    std::lock_guard<std::mutex> lock(s.mutex);
    auto it = s.windows.find(key);
    if (it == s.windows.end()) return false;
    *window = it->second;
    return true;
}

void Record(const EmuBroadcast& broadcast) {
    Windows& s = state();
    std::lock_guard<std::mutex> lock(s.mutex);
    s.broadcasts.push_back(broadcast);
    if (broadcast.frozen) ++s.frozen;
}

void RecordFrozenSend() {
    Windows& s = state();
    std::lock_guard<std::mutex> lock(s.mutex);
    ++s.frozen;
}

}  // namespace

namespace emu {
void InvokeStarting() {
    Windows& s = state();
    std::lock_guard<std::mutex> lock(s.mutex);
    for (auto it = s.scheduled.begin(); it != s.scheduled.end();) {
        if (--it->callsToGo == 0) {
            s.pending.push_back(it->sent);
            it = s.scheduled.erase(it);
        } else {
            ++it;
        }
    }
}

void ResetSentMessages() {
    Windows& s = state();
    std::lock_guard<std::mutex> lock(s.mutex);
    s.pending.clear();
    s.scheduled.clear();
}

void ResetBroadcastRecords() {
    Windows& s = state();
    std::lock_guard<std::mutex> lock(s.mutex);
    s.broadcasts.clear();
    s.frozen = 0;
}
}  // namespace emu

HWND EmuCreateTopLevelWindow(EmuWindowProcedure procedure, void* context) {
    if (procedure == nullptr) return nullptr;
    Windows& s = state();
    std::lock_guard<std::mutex> lock(s.mutex);
    const uintptr_t key = s.nextHandle;
    s.nextHandle += 4;
    s.windows[key] = Window{procedure, context, false};
    return ToHandle(key);
}

BOOL EmuDestroyWindow(HWND window) {
    Windows& s = state();
    std::lock_guard<std::mutex> lock(s.mutex);
    return s.windows.erase(ToKey(window)) != 0 ? TRUE : FALSE;
}

BOOL EmuSetWindowHung(HWND window, BOOL hung) {
    Windows& s = state();
    std::lock_guard<std::mutex> lock(s.mutex);
    auto it = s.windows.find(ToKey(window));
    if (it == s.windows.end()) return FALSE;
    it->second.hung = hung != FALSE;
    return TRUE;
}

ULONG EmuBroadcastCount(void) {
    Windows& s = state();
    std::lock_guard<std::mutex> lock(s.mutex);
    return static_cast<ULONG>(s.broadcasts.size());
}

BOOL EmuBroadcastAt(ULONG index, EmuBroadcast* broadcast) {
    Windows& s = state();
    std::lock_guard<std::mutex> lock(s.mutex);
    if (broadcast == nullptr || index >= s.broadcasts.size()) return FALSE;
    *broadcast = s.broadcasts[index];
    return TRUE;
}

ULONG EmuFrozenBroadcastCount(void) {
    Windows& s = state();
    std::lock_guard<std::mutex> lock(s.mutex);
    return s.frozen;
}

LRESULT SendMessageW(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (window == HWND_BROADCAST) {
        EmuBroadcast b{message, wParam, lParam, EMU_SEND_MESSAGE, 0, 0, 0, 0, 0, FALSE};
        for (uintptr_t key : Snapshot()) {
            Window w;
            if (!Lookup(key, &w)) continue;
            if (w.hung) {
                // The real call would wait here for ever; no later window is reached.
                b.frozen = TRUE;
                break;
            }
            w.procedure(ToHandle(key), message, wParam, lParam, w.context);
            ++b.delivered;
        }
        Record(b);
        return 0;
    }
    Window w;
    if (!Lookup(ToKey(window), &w)) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return 0;
    }
    if (w.hung) {
        RecordFrozenSend();
        return 0;
    }
    return w.procedure(window, message, wParam, lParam, w.context);
}

LRESULT SendMessageTimeoutW(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT flags,
                            UINT timeoutMs, PDWORD_PTR result) {
    if (result != nullptr) *result = 0;
    if (window == HWND_BROADCAST) {
        EmuBroadcast b{message, wParam, lParam, EMU_SEND_MESSAGE_TIMEOUT, flags, timeoutMs, 0,
                       0,       0,      FALSE};
        for (uintptr_t key : Snapshot()) {
            Window w;
            if (!Lookup(key, &w)) continue;
            if (w.hung) {
                ++b.skipped;
                if ((flags & SMTO_ABORTIFHUNG) == 0) b.waitedMs += timeoutMs;
                continue;
            }
            w.procedure(ToHandle(key), message, wParam, lParam, w.context);
            ++b.delivered;
        }
        Record(b);
        return 1;
    }
    Window w;
    if (!Lookup(ToKey(window), &w)) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return 0;
    }
    if (w.hung) {
        SetLastError(ERROR_TIMEOUT);
        return 0;
    }
    const LRESULT answer = w.procedure(window, message, wParam, lParam, w.context);
    if (result != nullptr) *result = static_cast<DWORD_PTR>(answer);
    return 1;
}

BOOL EmuQueueSentMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    Windows& s = state();
    std::lock_guard<std::mutex> lock(s.mutex);
    if (window != HWND_BROADCAST && s.windows.count(ToKey(window)) == 0) return FALSE;
    s.pending.push_back(SentMessage{ToKey(window), message, wParam, lParam});
    return TRUE;
}

void EmuSendDuringInvoke(ULONG atCall, HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    Windows& s = state();
    std::lock_guard<std::mutex> lock(s.mutex);
    s.scheduled.push_back(ScheduledMessage{atCall == 0 ? 1 : atCall,
                                           SentMessage{ToKey(window), message, wParam, lParam}});
}

ULONG EmuPendingSentMessageCount(void) {
    Windows& s = state();
    std::lock_guard<std::mutex> lock(s.mutex);
    return static_cast<ULONG>(s.pending.size());
}

ULONG EmuDeliverSentMessages(void) {
    std::vector<SentMessage> taken;
    {
        Windows& s = state();
        std::lock_guard<std::mutex> lock(s.mutex);
        taken.swap(s.pending);
    }
    // A procedure may send, queue or destroy windows: nothing is held while it runs.
    ULONG delivered = 0;
    for (const SentMessage& sent : taken) {
        const std::vector<uintptr_t> targets =
            sent.window == ToKey(HWND_BROADCAST) ? Snapshot() : std::vector<uintptr_t>{sent.window};
        for (uintptr_t key : targets) {
            Window w;
            if (!Lookup(key, &w) || w.hung) continue;
            w.procedure(ToHandle(key), sent.message, sent.wParam, sent.lParam, w.context);
            ++delivered;
        }
    }
    return delivered;
}

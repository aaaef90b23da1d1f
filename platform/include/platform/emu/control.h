// The emulation's own control surface (Linux only): the simulated machine folder, class
// registration, the thread's code page, counters, fault injection and the records of
// shell calls, window broadcasts and assertions. Tests and the simulated host call
// these; the plug-in never does.
//
// Strings the library hands out stay valid until the record they belong to is replaced
// or cleared. Counters count calls since EmuResetCounters; the live counts (BSTRs,
// proxy references) are states and are never reset.
#pragma once

#include "platform/emu/clock.h"
#include "platform/emu/com.h"
#include "platform/emu/dispatch.h"

PLATFORM_BEGIN_C

// ---- The machine folder --------------------------------------------------------------
// Where the simulated machine keeps its shared state; class registrations live in
// "<machine>/Registry/classes.txt". Null unsets it. Initially the LUMARO_MACHINE
// environment variable, when set.
PLATFORM_API void EmuSetMachineFolder(const char* folder);
// Null when unset.
PLATFORM_API const char* EmuGetMachineFolder(void);

// ---- Class registration --------------------------------------------------------------
// Records that `progId` (UTF-8, matched without regard to case) names `clsid`, served by
// the in-process server module at `modulePath` (which exports DllGetClassObject). A
// registration with the same ProgID or CLSID is replaced. E_INVALIDARG for an empty or
// malformed argument, E_UNEXPECTED without a machine folder, E_FAIL when the file cannot
// be written.
PLATFORM_API HRESULT EmuRegisterClass(const char* progId, REFCLSID clsid, const char* modulePath);
// S_OK when removed, S_FALSE when it was not registered.
PLATFORM_API HRESULT EmuUnregisterClass(const char* progId);

// ---- Code page -----------------------------------------------------------------------
// The calling thread's ANSI code page (CP_THREAD_ACP); 1252 until set. FALSE, and no
// change, for a code page the conversions do not support.
PLATFORM_API BOOL EmuSetThreadCodePage(UINT codePage);
PLATFORM_API UINT EmuGetThreadCodePage(void);

// ---- Clock ---------------------------------------------------------------------------
// GetSystemTimeAsFileTime answers exactly this time until it is set again; null
// returns it to the real clock.
PLATFORM_API void EmuSetSystemTime(const FILETIME* time);

// ---- Counters ------------------------------------------------------------------------
PLATFORM_API LONG EmuLiveBstrCount(void);
// References clients hold on proxies, and proxies alive.
PLATFORM_API LONG EmuLiveProxyReferences(void);
PLATFORM_API LONG EmuLiveProxyCount(void);
// Invoke calls clients made through proxies (failed ones included), per DISPID and all.
PLATFORM_API ULONG EmuInvokeCount(DISPID member);
PLATFORM_API ULONG EmuInvokeTotal(void);
// CoCreateInstance calls, and the context the index-th of them asked for (0 when out
// of range); server objects actually created.
PLATFORM_API ULONG EmuCreateInstanceCount(void);
PLATFORM_API DWORD EmuCreateInstanceContext(ULONG index);
PLATFORM_API ULONG EmuServerObjectsCreated(void);
PLATFORM_API ULONG EmuGetActiveObjectCount(void);
PLATFORM_API ULONG EmuOleRunCount(void);
// Resets the counters above (not the live counts) and the shell and broadcast records.
PLATFORM_API void EmuResetCounters(void);

// ---- Fault injection -----------------------------------------------------------------
// Every class lookup finds nothing, as if Glyvor were not installed.
PLATFORM_API void EmuSetFaultClassNotRegistered(BOOL on);
// Creation with a context that includes CLSCTX_REMOTE_SERVER (so CLSCTX_ALL) answers
// E_INVALIDARG; a context without it works.
PLATFORM_API void EmuSetFaultRejectRemoteContext(BOOL on);
// Creation answers `hr` for every context (S_OK turns the fault off).
PLATFORM_API void EmuSetFaultCreateInstance(HRESULT hr);
// OleRun answers `hr` without running the object (S_OK turns the fault off).
PLATFORM_API void EmuSetFaultOleRun(HRESULT hr);
// QueryInterface for `iid` through a proxy answers `hr` (S_OK turns the fault off).
PLATFORM_API void EmuSetFaultQueryInterface(REFIID iid, HRESULT hr);
// From the `fromCall`-th Invoke through a proxy after this call on (1 = the next one),
// every Invoke answers `hr` without reaching the server, as when the server process has
// died (RPC_E_DISCONNECTED). S_OK turns the fault off.
PLATFORM_API void EmuSetFaultInvoke(ULONG fromCall, HRESULT hr);
// The `call`-th Invoke through a proxy after this call (1 = the next one) answers `hr`
// without reaching the server; the calls before and after it work. 0 turns it off.
PLATFORM_API void EmuSetFaultInvokeCall(ULONG call, HRESULT hr);
// Turns every fault off and drops the messages other threads sent and scheduled (below).
PLATFORM_API void EmuClearFaults(void);

// ---- Shell ---------------------------------------------------------------------------
// What ShellExecuteW answers; 42 (success) until set.
PLATFORM_API void EmuSetShellExecuteResult(INT_PTR result);
PLATFORM_API ULONG EmuShellExecuteCount(void);
// The arguments of the last call; a null argument reads back as null.
PLATFORM_API HWND EmuLastShellExecuteOwner(void);
PLATFORM_API LPCWSTR EmuLastShellExecuteVerb(void);
PLATFORM_API LPCWSTR EmuLastShellExecuteFile(void);
PLATFORM_API LPCWSTR EmuLastShellExecuteParameters(void);
PLATFORM_API LPCWSTR EmuLastShellExecuteDirectory(void);
PLATFORM_API INT EmuLastShellExecuteShowCommand(void);

// ---- Top-level windows and broadcasts ------------------------------------------------
typedef LRESULT (*EmuWindowProcedure)(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                      void* context);
// Null for a null procedure.
PLATFORM_API HWND EmuCreateTopLevelWindow(EmuWindowProcedure procedure, void* context);
PLATFORM_API BOOL EmuDestroyWindow(HWND window);
// A hung window never answers a message.
PLATFORM_API BOOL EmuSetWindowHung(HWND window, BOOL hung);

#define EMU_SEND_MESSAGE 1
#define EMU_SEND_MESSAGE_TIMEOUT 2

// One broadcast to HWND_BROADCAST, as sent.
typedef struct EmuBroadcast {
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    int function;    // EMU_SEND_MESSAGE or EMU_SEND_MESSAGE_TIMEOUT
    UINT flags;      // SMTO_* (0 for SendMessageW)
    UINT timeoutMs;  // 0 for SendMessageW
    UINT delivered;  // windows whose procedure received it
    UINT skipped;    // hung windows skipped (SMTO_ABORTIFHUNG) or waited out
    UINT waitedMs;   // time the sender would have waited on hung windows
    BOOL frozen;     // SendMessageW reached a hung window: the sender never returns
} EmuBroadcast;

PLATFORM_API ULONG EmuBroadcastCount(void);
// FALSE when `index` is out of range.
PLATFORM_API BOOL EmuBroadcastAt(ULONG index, EmuBroadcast* broadcast);
// Sends (broadcasts or not) that would never have returned.
PLATFORM_API ULONG EmuFrozenBroadcastCount(void);

// ---- Messages sent by other threads --------------------------------------------------
// A message that another thread or process sends to a window waits until the window's
// thread takes sent messages: while that thread waits inside an Invoke through a proxy
// (COM's modal loop delivers them during a call to an out-of-process server), or when it
// runs its message loop (EmuDeliverSentMessages). The emulation delivers them on the
// thread that takes them, by calling each window's procedure.
//
// Queues one now. HWND_BROADCAST reaches every top-level window that answers when it is
// delivered. FALSE for an unknown window.
PLATFORM_API BOOL EmuQueueSentMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// The other side sends it during the `atCall`-th Invoke through a proxy from now (1 = the
// next), once the server has done that call's work, as a font manager broadcasts
// WM_FONTCHANGE after it has activated a font. A failing Invoke counts too.
PLATFORM_API void EmuSendDuringInvoke(ULONG atCall, HWND window, UINT message, WPARAM wParam,
                                      LPARAM lParam);
// Delivers what is queued; the number of window procedures called.
PLATFORM_API ULONG EmuDeliverSentMessages(void);
// Queued and not yet delivered (a broadcast counts once); scheduled ones are not.
PLATFORM_API ULONG EmuPendingSentMessageCount(void);

// ---- Assertions ----------------------------------------------------------------------
typedef void (*EmuAssertionSink)(const char* expression, const char* source, int line,
                                 void* context);
// Null removes the sink; reports are still recorded.
PLATFORM_API void EmuSetAssertionSink(EmuAssertionSink sink, void* context);
PLATFORM_API ULONG EmuAssertionCount(void);
// FALSE when `index` is out of range; any out-pointer may be null.
PLATFORM_API BOOL EmuAssertionAt(ULONG index, const char** expression, const char** source,
                                 int* line);
PLATFORM_API void EmuClearAssertions(void);

PLATFORM_END_C

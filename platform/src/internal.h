// Helpers the parts of the COM emulation share.
#pragma once

#include <string>

#include "platform/emu/com.h"

namespace emu {

// "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}", upper case, and back (case-insensitive).
std::string GuidToString(const GUID& guid);
bool ParseGuid(const std::string& text, GUID* guid);

// UTF-16 text up to its terminator as UTF-8.
std::string ToUtf8(const OLECHAR* text);

struct Registration {
    std::string progId;
    CLSID clsid;
    std::string modulePath;
};
// Read afresh from the machine folder on every call.
bool FindRegistrationByProgId(const std::string& progId, Registration* found);
bool FindRegistrationByClsid(const CLSID& clsid, Registration* found);

// Whether the calling thread has initialised COM (and not uninitialised it since). The
// calls that need an apartment answer CO_E_NOTINITIALIZED without one, as on Windows.
bool ApartmentEntered();

// Called by a proxy as each Invoke starts: what another thread was to send during this
// call is queued now, to be taken once the server has answered (EmuDeliverSentMessages).
void InvokeStarting();

// A proxy for `server` (any of its interfaces) with one client reference, which the
// caller owns; the proxy of an object already proxied is shared. Null when memory or
// the server's identity is refused.
IUnknown* WrapInProxy(IUnknown* server);
// The server object behind a proxy (a new reference), or null when `object` is no proxy.
IUnknown* UnwrapProxy(IUnknown* object);

}  // namespace emu

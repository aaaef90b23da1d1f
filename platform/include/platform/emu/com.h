// COM: the base interfaces with the Windows vtable order and IIDs, class lookup and
// creation, the running-object table and the apartment calls.
//
// Objects obtained from GetActiveObject and CoCreateInstance are proxies, as a separate
// server process's objects are on Windows: they forward QueryInterface, AddRef, Release,
// IDispatch and IRunnableObject to the server object, are counted, and carry the faults
// that emu/control.h injects. A proxy's Invoke refuses what the marshaller refuses:
// missing DISPPARAMS or argument arrays (E_INVALIDARG), and an riid other than IID_NULL
// (DISP_E_UNKNOWNINTERFACE). Beyond IUnknown, IDispatch and IRunnableObject, only
// automation interfaces cross: those the server answers with the same pointer it gives
// for IDispatch (a dispinterface, or a dual interface derived from IDispatch, as the
// type-library marshaller requires); the client reaches them through Invoke.
#pragma once

#include "platform/emu/types.h"

struct IBindCtx;
typedef IBindCtx* LPBINDCTX;

struct IUnknown {
    virtual HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) = 0;
    virtual ULONG STDMETHODCALLTYPE AddRef() = 0;
    virtual ULONG STDMETHODCALLTYPE Release() = 0;
};
typedef IUnknown* LPUNKNOWN;

struct IClassFactory : IUnknown {
    virtual HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID riid,
                                                     void** object) = 0;
    virtual HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) = 0;
};

struct IRunnableObject : IUnknown {
    virtual HRESULT STDMETHODCALLTYPE GetRunningClass(LPCLSID clsid) = 0;
    virtual HRESULT STDMETHODCALLTYPE Run(LPBINDCTX bindContext) = 0;
    virtual BOOL STDMETHODCALLTYPE IsRunning() = 0;
    virtual HRESULT STDMETHODCALLTYPE LockRunning(BOOL lock, BOOL lastUnlockCloses) = 0;
    virtual HRESULT STDMETHODCALLTYPE SetContainedObject(BOOL contained) = 0;
};

struct IErrorInfo : IUnknown {
    virtual HRESULT STDMETHODCALLTYPE GetGUID(GUID* guid) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetSource(BSTR* source) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetDescription(BSTR* description) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetHelpFile(BSTR* helpFile) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetHelpContext(DWORD* helpContext) = 0;
};

#define CLSCTX_INPROC_SERVER 0x1
#define CLSCTX_INPROC_HANDLER 0x2
#define CLSCTX_LOCAL_SERVER 0x4
#define CLSCTX_REMOTE_SERVER 0x10
#define CLSCTX_INPROC (CLSCTX_INPROC_SERVER | CLSCTX_INPROC_HANDLER)
#define CLSCTX_SERVER (CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER | CLSCTX_REMOTE_SERVER)
#define CLSCTX_ALL \
    (CLSCTX_INPROC_SERVER | CLSCTX_INPROC_HANDLER | CLSCTX_LOCAL_SERVER | CLSCTX_REMOTE_SERVER)

#define COINIT_MULTITHREADED 0x0
#define COINIT_APARTMENTTHREADED 0x2

#define ACTIVEOBJECT_STRONG 0x0
#define ACTIVEOBJECT_WEAK 0x1

#define REGCLS_SINGLEUSE 0
#define REGCLS_MULTIPLEUSE 1

PLATFORM_BEGIN_C
PLATFORM_API extern const IID IID_NULL;
PLATFORM_API extern const IID IID_IUnknown;
PLATFORM_API extern const IID IID_IClassFactory;
PLATFORM_API extern const IID IID_IRunnableObject;
PLATFORM_API extern const IID IID_IErrorInfo;
PLATFORM_API extern const IID IID_IDispatch;
#define CLSID_NULL IID_NULL

// Apartments are per thread: the first call answers S_OK, every further one S_FALSE; a
// call with a different threading model than the thread's first answers
// RPC_E_CHANGED_MODE. Each successful call needs one CoUninitialize. On a thread that has
// not initialised COM (or has uninitialised it as often), creation, the running-object
// table and class-object registration answer CO_E_NOTINITIALIZED, as on Windows;
// CLSIDFromProgID only reads the registry and works on any thread.
PLATFORM_API HRESULT CoInitialize(LPVOID reserved);
PLATFORM_API HRESULT CoInitializeEx(LPVOID reserved, DWORD coInit);
PLATFORM_API void CoUninitialize(void);

// "{xxxxxxxx-xxxx-xxxx-xxxx-xxxxxxxxxxxx}" <-> GUID. StringFromGUID2 answers the
// units written including the terminator, or 0 when the buffer holds fewer than 39.
PLATFORM_API HRESULT CLSIDFromString(LPCOLESTR text, LPCLSID clsid);
PLATFORM_API int StringFromGUID2(REFGUID guid, LPOLESTR buffer, int bufferUnits);

// The class registered under `progId` (case-insensitive; a "{...}" text is taken as a
// CLSID). CO_E_CLASSSTRING when there is none (and *clsid is zeroed).
PLATFORM_API HRESULT CLSIDFromProgID(LPCOLESTR progId, LPCLSID clsid);

// Creates an object of a registered class: a class object registered in the process
// (CoRegisterClassObject) first, else the registered module's DllGetClassObject. The
// result is a counting proxy. REGDB_E_CLASSNOTREG for an unknown class or a context
// without the in-process or local server; CLASS_E_NOAGGREGATION with an outer object.
PLATFORM_API HRESULT CoCreateInstance(REFCLSID clsid, LPUNKNOWN outer, DWORD clsContext,
                                      REFIID riid, LPVOID* object);
PLATFORM_API HRESULT CoRegisterClassObject(REFCLSID clsid, LPUNKNOWN factory, DWORD clsContext,
                                           DWORD flags, LPDWORD cookie);
PLATFORM_API HRESULT CoRevokeClassObject(DWORD cookie);

// The running-object table. A strong registration holds a reference until revoked; a
// weak one holds none (the object must revoke before it goes). GetActiveObject answers
// MK_E_UNAVAILABLE when the class has no running object, else a proxy.
PLATFORM_API HRESULT RegisterActiveObject(IUnknown* object, REFCLSID clsid, DWORD flags,
                                          DWORD* cookie);
PLATFORM_API HRESULT RevokeActiveObject(DWORD cookie, void* reserved);
PLATFORM_API HRESULT GetActiveObject(REFCLSID clsid, void* reserved, IUnknown** object);

// Runs the object through its IRunnableObject; S_OK when it has none.
PLATFORM_API HRESULT OleRun(LPUNKNOWN object);
PLATFORM_END_C

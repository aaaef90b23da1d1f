#include "fontmanager/GlyvorConnection.h"

#include <utility>

#include "fontmanager/Bstr.h"

GlyvorConnection g_glyvorConnection;

namespace {

const OLECHAR kGlyvorProgId[] = OLESTR("Glyvor.Document");

// The contexts of CLSCTX_ALL without the remote server, for systems that refuse it.
const DWORD kLocalContexts = CLSCTX_INPROC_SERVER | CLSCTX_INPROC_HANDLER | CLSCTX_LOCAL_SERVER;

}  // namespace

GlyvorConnection* GlyvorConnection::GetGlyvorConnection(std::wstring& error) {
    if (IsConnected() || Connect(error)) return this;
    return nullptr;
}

bool GlyvorConnection::Connect(std::wstring& error) {
    // A failed attempt must leave no reference of an earlier one behind.
    m_pGlyvor.Reset();

    CLSID clsid;
    if (CLSIDFromProgID(kGlyvorProgId, &clsid) != S_OK) {
        error = L"Glyvor.Document object was not registered";
        return false;
    }

    ComPtr<IUnknown> running;
    if (SUCCEEDED(GetActiveObject(clsid, nullptr, running.Put())) && running) {
        ComPtr<IDispatch> dispatch;
        const HRESULT hr = running->QueryInterface(IID_IDispatch, dispatch.PutVoid());
        running.Reset();
        if (FAILED(hr) || !dispatch) {
            error = L"Failed to query Glyvor dispatch interface";
            return false;
        }
        if (FAILED(dispatch->QueryInterface(IID_IGlyvor, m_pGlyvor.PutVoid()))) m_pGlyvor.Reset();
    } else {
        ComPtr<IUnknown> created;
        HRESULT hr = CoCreateInstance(clsid, nullptr, CLSCTX_ALL, IID_IUnknown, created.PutVoid());
        if (hr == E_INVALIDARG)
            hr = CoCreateInstance(clsid, nullptr, kLocalContexts, IID_IUnknown, created.PutVoid());
        if (FAILED(hr) || !created) {
            error = L"Cannot create Glyvor object";
            return false;
        }
        if (FAILED(OleRun(created.Get()))) return false;
        if (FAILED(created->QueryInterface(IID_IGlyvor, m_pGlyvor.PutVoid()))) m_pGlyvor.Reset();
    }

    if (!m_pGlyvor) {
        error = L"Cannot query IGlyvor";
        return false;
    }
    return true;
}

void GlyvorConnection::ReleaseGlyvorConnection() noexcept { m_pGlyvor.Reset(); }

bool GlyvorConnection::FindMatchingFont(const std::wstring& name, std::wstring& fontId,
                                        std::wstring& detail) {
    if (!IsConnected() || name.empty()) return false;

    BstrHolder bstrName;
    AssignBstr(bstrName, name);
    UniqueBstr matchedId, matchedDetail;
    VARIANT_BOOL matched = VARIANT_FALSE;
    GlyvorMatchFont(m_pGlyvor.Get(), bstrName.Get(), matchedId, matchedDetail, matched);
    if (matched == VARIANT_FALSE) return false;
    // A match without an identifier could not be activated or installed: it is no offer.
    if (!BstrHasText(matchedId.Get())) return false;
    CopyBstr(fontId, matchedId.Get());
    CopyBstr(detail, matchedDetail.Get());
    return true;
}

bool GlyvorConnection::ActivateOrInstall(std::wstring_view fontId, bool activate,
                                         std::wstring& error) {
    if (!IsConnected()) return false;

    BstrHolder bstrFontId;
    AssignBstr(bstrFontId, fontId);
    LONG state = 0;
    GlyvorGetFontState(m_pGlyvor.Get(), bstrFontId.Get(), state);
    if (state != 0) return true;

    UniqueBstr reason;
    VARIANT_BOOL succeeded = VARIANT_FALSE;
    GlyvorLoadFont(m_pGlyvor.Get(), bstrFontId.Get(), activate, reason, succeeded);
    if (succeeded != VARIANT_FALSE) return true;
    CopyBstr(error, reason.Get());
    return false;
}

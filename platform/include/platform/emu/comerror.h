// _com_error and _com_issue_error, header-only as the compiler's COM support has them.
#pragma once

#include "platform/emu/com.h"

class _com_error {
public:
    // Takes over `errorInfo` (which may be null); with `addRef` it takes a reference.
    explicit _com_error(HRESULT hr, IErrorInfo* errorInfo = nullptr, bool addRef = false) noexcept
        : m_hresult(hr), m_errorInfo(errorInfo) {
        if (m_errorInfo != nullptr && addRef) m_errorInfo->AddRef();
    }
    _com_error(const _com_error& other) noexcept
        : m_hresult(other.m_hresult), m_errorInfo(other.m_errorInfo) {
        if (m_errorInfo != nullptr) m_errorInfo->AddRef();
    }
    _com_error& operator=(const _com_error& other) noexcept {
        if (this != &other) {
            if (other.m_errorInfo != nullptr) other.m_errorInfo->AddRef();
            if (m_errorInfo != nullptr) m_errorInfo->Release();
            m_hresult = other.m_hresult;
            m_errorInfo = other.m_errorInfo;
        }
        return *this;
    }
    virtual ~_com_error() {
        if (m_errorInfo != nullptr) m_errorInfo->Release();
    }

    HRESULT Error() const noexcept { return m_hresult; }
    WORD WCode() const noexcept {
        return (m_hresult >= (HRESULT)0x80040200L && m_hresult <= (HRESULT)0x8004FFFFL)
                   ? (WORD)(m_hresult - (HRESULT)0x80040200L)
                   : 0;
    }
    // A new reference to the error object, or null.
    IErrorInfo* ErrorInfo() const noexcept {
        if (m_errorInfo != nullptr) m_errorInfo->AddRef();
        return m_errorInfo;
    }

private:
    HRESULT m_hresult;
    IErrorInfo* m_errorInfo;
};

[[noreturn]] inline void _com_issue_error(HRESULT hr) { throw _com_error(hr); }
[[noreturn]] inline void _com_issue_errorex(HRESULT hr, IUnknown*, REFIID) { throw _com_error(hr); }

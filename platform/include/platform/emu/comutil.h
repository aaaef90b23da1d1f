// _bstr_t, header-only as the compiler's COM support has it: a BSTR in a shared record
// with a reference count; the BSTR is freed when the last holder goes. Text is OLECHAR
// here where Windows says wchar_t (the same 16-bit unit there).
#pragma once

#include <new>

#include "platform/emu/bstr.h"
#include "platform/emu/comerror.h"

class _bstr_t {
public:
    _bstr_t() noexcept : m_data(nullptr) {}
    _bstr_t(const _bstr_t& other) noexcept : m_data(other.m_data) {
        if (m_data != nullptr) ++m_data->refs;
    }
    // A copy of `text` up to its terminator (null holds nothing).
    _bstr_t(const OLECHAR* text) : m_data(nullptr) {
        if (text != nullptr) m_data = NewData(Checked(SysAllocString(text)));
    }
    // Takes `text` over, or a copy of it with `copy` (full length, zeros included).
    _bstr_t(BSTR text, bool copy) : m_data(nullptr) {
        if (text != nullptr)
            m_data =
                NewData(copy ? Checked(SysAllocStringByteLen(reinterpret_cast<const char*>(text),
                                                             SysStringByteLen(text)))
                             : text);
    }
    ~_bstr_t() { Free(); }

    _bstr_t& operator=(const _bstr_t& other) noexcept {
        if (m_data != other.m_data) {
            Free();
            m_data = other.m_data;
            if (m_data != nullptr) ++m_data->refs;
        }
        return *this;
    }
    _bstr_t& operator=(const OLECHAR* text) {
        _bstr_t copy(text);
        return *this = copy;
    }

    // Lets go of the current text and takes `text` over, with a count of 1.
    void Attach(BSTR text) {
        Free();
        if (text != nullptr) m_data = NewData(text);
    }
    // Hands the BSTR to the caller; the holder is empty afterwards. Only the sole holder
    // of a record may detach it.
    BSTR Detach() noexcept {
        if (m_data == nullptr || m_data->refs != 1) return nullptr;
        BSTR text = m_data->bstr;
        m_data->bstr = nullptr;
        Free();
        return text;
    }
    // A new BSTR the caller owns (or the held one itself without `copy`).
    BSTR copy(bool copy = true) const {
        if (m_data == nullptr) return nullptr;
        if (!copy) return m_data->bstr;
        return Checked(SysAllocStringByteLen(reinterpret_cast<const char*>(m_data->bstr),
                                             SysStringByteLen(m_data->bstr)));
    }
    // The held BSTR itself (a slot that stays with the holder), as on Windows.
    BSTR& GetBSTR() {
        if (m_data == nullptr) m_data = NewData(nullptr);
        return m_data->bstr;
    }
    // Empties the holder and gives the address of a fresh slot for an out-argument.
    BSTR* GetAddress() {
        Attach(nullptr);
        m_data = NewData(nullptr);
        return &m_data->bstr;
    }
    unsigned int length() const noexcept { return SysStringLen(Held()); }
    operator const OLECHAR*() const noexcept { return Held(); }
    operator OLECHAR*() const noexcept { return Held(); }
    bool operator!() const noexcept { return Held() == nullptr; }

private:
    BSTR Held() const noexcept { return m_data != nullptr ? m_data->bstr : nullptr; }

    struct Data {
        BSTR bstr;
        unsigned long refs;
    };

    static BSTR Checked(BSTR text) {
        if (text == nullptr) _com_issue_error(E_OUTOFMEMORY);
        return text;
    }
    static Data* NewData(BSTR text) {
        Data* data = new (std::nothrow) Data{text, 1};
        if (data == nullptr) {
            SysFreeString(text);
            _com_issue_error(E_OUTOFMEMORY);
        }
        return data;
    }
    void Free() noexcept {
        if (m_data != nullptr && --m_data->refs == 0) {
            SysFreeString(m_data->bstr);
            delete m_data;
        }
        m_data = nullptr;
    }

    Data* m_data;
};

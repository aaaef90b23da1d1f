// A BSTR with one owner, freed when the holder goes: the automation calls' input
// constants and their output slots.
#pragma once

#include <utility>

#include "platform/win32.h"

class UniqueBstr {
public:
    UniqueBstr() noexcept = default;
    explicit UniqueBstr(BSTR text) noexcept : m_bstr(text) {}
    ~UniqueBstr() { Reset(); }

    UniqueBstr(const UniqueBstr&) = delete;
    UniqueBstr& operator=(const UniqueBstr&) = delete;

    BSTR Get() const noexcept { return m_bstr; }
    void Reset(BSTR text = nullptr) noexcept {
        BSTR old = std::exchange(m_bstr, text);
        if (old != nullptr) SysFreeString(old);
    }
    // Frees what is held and gives the nulled slot an out-argument is written to.
    BSTR* Put() noexcept {
        Reset();
        return &m_bstr;
    }

private:
    BSTR m_bstr = nullptr;
};

// An owned COM reference: released when the holder goes, so that no path, an exception
// included, leaks one.
#pragma once

#include <utility>

#include "platform/win32.h"

template <typename Interface>
class ComPtr {
public:
    ComPtr() noexcept = default;
    ~ComPtr() { Reset(); }

    ComPtr(const ComPtr&) = delete;
    ComPtr& operator=(const ComPtr&) = delete;
    ComPtr(ComPtr&& other) noexcept : m_pointer(other.Detach()) {}
    ComPtr& operator=(ComPtr&& other) noexcept {
        if (this != &other) {
            Reset();
            m_pointer = other.Detach();
        }
        return *this;
    }

    Interface* Get() const noexcept { return m_pointer; }
    Interface* operator->() const noexcept { return m_pointer; }
    explicit operator bool() const noexcept { return m_pointer != nullptr; }

    // Releases the reference held, if any.
    void Reset() noexcept {
        Interface* pointer = m_pointer;
        m_pointer = nullptr;
        if (pointer != nullptr) pointer->Release();
    }
    // Releases what is held and gives the slot for a call that hands out a reference.
    Interface** Put() noexcept {
        Reset();
        return &m_pointer;
    }
    void** PutVoid() noexcept { return reinterpret_cast<void**>(Put()); }
    Interface* Detach() noexcept { return std::exchange(m_pointer, nullptr); }

private:
    Interface* m_pointer = nullptr;
};

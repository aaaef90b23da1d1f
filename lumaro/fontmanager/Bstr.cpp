#include "fontmanager/Bstr.h"

#include <algorithm>
#include <new>

#include "fontmanager/TextConversion.h"

namespace {

// The number of units before the first zero unit; null is empty.
std::size_t BstrTextLength(BSTR bstr) {
    const UINT n = bstr != nullptr ? SysStringLen(bstr) : 0;
    std::size_t length = 0;
    while (length < n && bstr[length] != 0) ++length;
    return length;
}

}  // namespace

BstrHolder::BstrHolder(const BstrHolder& other) : m_shared(other.m_shared) {
    if (m_shared != nullptr) ++m_shared->references;
}

BstrHolder& BstrHolder::operator=(const BstrHolder& other) {
    if (other.m_shared != nullptr) ++other.m_shared->references;
    Release();
    m_shared = other.m_shared;
    return *this;
}

BstrHolder::~BstrHolder() { Release(); }

void BstrHolder::Attach(BSTR bstr) {
    Shared* shared = new Shared{bstr, 1};
    Release();
    m_shared = shared;
}

void BstrHolder::Release() {
    if (m_shared != nullptr && --m_shared->references == 0) {
        SysFreeString(m_shared->bstr);
        delete m_shared;
    }
    m_shared = nullptr;
}

void AssignBstr(BstrHolder& holder, std::wstring_view text) {
    // Written in place: the units up to the first zero one, zeros after it.
    const std::size_t n = text.size();
    BSTR bstr = SysAllocStringLen(nullptr, static_cast<UINT>(n));
    if (bstr == nullptr) throw std::bad_alloc();
    const std::size_t kept = std::min(n, text.find(L'\0'));
    std::copy(text.begin(), text.begin() + kept, bstr);
    std::fill(bstr + kept, bstr + n, OLECHAR{0});
    try {
        holder.Attach(bstr);
    } catch (...) {
        SysFreeString(bstr);
        throw;
    }
}

void CopyBstr(std::wstring& target, BSTR bstr) { AssignUnits(bstr, BstrTextLength(bstr), target); }

// BSTRs at the automation boundary: a reference-counted holder, and the
// copies between BSTRs and the plug-in's wide strings.
#pragma once

#include <string>
#include <string_view>

#include "platform/win32.h"

class BstrHolder {
public:
    BstrHolder() = default;
    BstrHolder(const BstrHolder& other);
    BstrHolder& operator=(const BstrHolder& other);
    ~BstrHolder();

    // Takes ownership of bstr (reference count 1), releasing what was held.
    void Attach(BSTR bstr);
    BSTR Get() const { return m_shared != nullptr ? m_shared->bstr : nullptr; }
    long UseCount() const { return m_shared != nullptr ? m_shared->references : 0; }

private:
    struct Shared {
        BSTR bstr;
        long references;
    };
    void Release();

    Shared* m_shared = nullptr;
};

// A new BSTR of exactly text.size() units; units after an embedded zero come out as
// zeros. Throws std::bad_alloc when memory is refused.
void AssignBstr(BstrHolder& holder, std::wstring_view text);
// Whether the text up to the first zero unit is not empty; null is empty.
inline bool BstrHasText(BSTR bstr) {
    return bstr != nullptr && SysStringLen(bstr) > 0 && bstr[0] != 0;
}
// Replaces target with the BSTR's text up to its first zero unit, reusing its storage.
void CopyBstr(std::wstring& target, BSTR bstr);

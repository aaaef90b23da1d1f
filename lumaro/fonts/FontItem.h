// The records behind the panel's two list boxes. Each record is owned by exactly one
// global list (FontLists.h) and deleted only through its virtual destructor.
#pragma once

#include <cstdint>
#include <string>

// One entry of the host's font list, as the missing-font scan found it.
class CFontItem {
public:
    CFontItem();
    virtual ~CFontItem();

    CFontItem(const CFontItem&) = delete;
    CFontItem& operator=(const CFontItem&) = delete;

    bool m_bMissing;
    // Bytes as the host returns them, in the system ANSI code page.
    std::string m_strName;
    std::wstring m_wstrNameA0;
    std::wstring m_wstrNameA1;
    std::wstring m_wstrNameB0;
    std::wstring m_wstrNameB1;
    std::wstring m_wstrNameC0;
    std::wstring m_wstrNameC1;
    std::string m_strTechnology;
    std::string m_strOutlines;
    std::wstring m_wstrNameD;
};

// A font the font manager offers for one missing font.
class CFontItemAvailable {
public:
    CFontItemAvailable();
    virtual ~CFontItemAvailable();

    CFontItemAvailable(const CFontItemAvailable&) = delete;
    CFontItemAvailable& operator=(const CFontItemAvailable&) = delete;

    std::wstring m_wstrAux1;
    std::wstring m_wstrAux2;
    // The missing font's name: the row text and the name quoted in failure messages.
    std::wstring m_wstrName;
    int32_t m_nAux1;
    int32_t m_nAux2;
    std::wstring m_wstrAux3;
    // The font manager's own identifier, handed back to it to activate or install.
    std::wstring m_wstrFontId;
    std::wstring m_wstrFontDetail;
};

// The records behind the panel's two list boxes. Each record is owned by exactly one
// global list (FontLists.h) and deleted only through its virtual destructor.
#pragma once

#include <cstdint>
#include <memory>

#include "fonts/RecordStorage.h"

// One entry of the host's font list, as the missing-font scan found it.
class CFontItem : public RecordStorage {
public:
    CFontItem();
    virtual ~CFontItem();

    // A record with `room` bytes (RoomFor) behind it for its strings, in one block.
    static std::unique_ptr<CFontItem> Create(Room room);
    // Sets one of the record's strings to exactly `length` characters of `text`.
    using RecordStorage::SetText;

    bool m_bMissing;
    // Bytes as the host returns them, in the system ANSI code page.
    RecordString m_strName;
    RecordWString m_wstrNameA0;
    RecordWString m_wstrNameA1;
    RecordWString m_wstrNameB0;
    RecordWString m_wstrNameB1;
    RecordWString m_wstrNameC0;
    RecordWString m_wstrNameC1;
    RecordString m_strTechnology;
    RecordString m_strOutlines;
    RecordWString m_wstrNameD;

private:
    explicit CFontItem(Room room);
};

// A font the font manager offers for one missing font.
class CFontItemAvailable : public RecordStorage {
public:
    CFontItemAvailable();
    virtual ~CFontItemAvailable();

    // A record with `room` bytes (RoomFor) behind it for its strings, in one block.
    static std::unique_ptr<CFontItemAvailable> Create(Room room);
    using RecordStorage::SetText;

    RecordWString m_wstrAux1;
    RecordWString m_wstrAux2;
    // The missing font's name: the row text and the name quoted in failure messages.
    RecordWString m_wstrName;
    int32_t m_nAux1;
    int32_t m_nAux2;
    RecordWString m_wstrAux3;
    // The font manager's own identifier, handed back to it to activate or install.
    RecordWString m_wstrFontId;
    RecordWString m_wstrFontDetail;

private:
    explicit CFontItemAvailable(Room room);
};

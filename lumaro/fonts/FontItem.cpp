#include "fonts/FontItem.h"

CFontItem::CFontItem() : CFontItem(Room{0}) {}

CFontItem::CFontItem(Room room)
    : RecordStorage(this, sizeof(CFontItem), room),
      m_bMissing(false),
      m_strName(Strings()),
      m_wstrNameA0(Strings()),
      m_wstrNameA1(Strings()),
      m_wstrNameB0(Strings()),
      m_wstrNameB1(Strings()),
      m_wstrNameC0(Strings()),
      m_wstrNameC1(Strings()),
      m_strTechnology(Strings()),
      m_strOutlines(Strings()),
      m_wstrNameD(Strings()) {}

CFontItem::~CFontItem() = default;

std::unique_ptr<CFontItem> CFontItem::Create(Room room) {
    return std::unique_ptr<CFontItem>(new (room) CFontItem(room));
}

CFontItemAvailable::CFontItemAvailable() : CFontItemAvailable(Room{0}) {}

CFontItemAvailable::CFontItemAvailable(Room room)
    : RecordStorage(this, sizeof(CFontItemAvailable), room),
      m_wstrAux1(Strings()),
      m_wstrAux2(Strings()),
      m_wstrName(Strings()),
      m_nAux1(0),
      m_nAux2(0),
      m_wstrAux3(Strings()),
      m_wstrFontId(Strings()),
      m_wstrFontDetail(Strings()) {}

CFontItemAvailable::~CFontItemAvailable() = default;

std::unique_ptr<CFontItemAvailable> CFontItemAvailable::Create(Room room) {
    return std::unique_ptr<CFontItemAvailable>(new (room) CFontItemAvailable(room));
}

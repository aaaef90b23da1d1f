#include "fonts/FontItem.h"

CFontItem::CFontItem() : m_bMissing(false) {}

CFontItem::~CFontItem() = default;

CFontItemAvailable::CFontItemAvailable() : m_nAux1(0), m_nAux2(0) {}

CFontItemAvailable::~CFontItemAvailable() = default;

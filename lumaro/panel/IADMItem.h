// The place where an item wrapper keeps its host item reference.
#pragma once

#include "hostapi/adm_types.h"

class IADMItem {
public:
    explicit IADMItem(ADMItemRef item = nullptr) : m_itemRef(item) {}

    ADMItemRef GetItemRef() const { return m_itemRef; }

protected:
    ADMItemRef m_itemRef;
};

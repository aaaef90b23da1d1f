// A host dialog item as a class, built like BaseADMDialog: the wrapper is the
// item's user data and ADMProcedures routes the item's callbacks to it.
#pragma once

#include "panel/IADMItem.h"

class BaseADMItem : public IADMItem {
public:
    // On an existing item (or none): becomes its user data and installs the
    // item procedures. `value` is the caller's own, kept as is.
    explicit BaseADMItem(ADMItemRef item = nullptr, ASInt32 value = 0);
    BaseADMItem(const BaseADMItem&) = delete;
    BaseADMItem& operator=(const BaseADMItem&) = delete;

    virtual ASErr Init();
    virtual void Draw(ADMDrawerRef drawer);
    virtual ASBoolean Track(ADMTrackerRef tracker);
    virtual void Notify(ADMNotifierRef notifier);
    virtual ASBoolean TextToFloat(const char* text, float* value);
    virtual ASBoolean FloatToText(float value, char* text, ASInt32 textLength);
    virtual void OnDraw(ADMDrawerRef drawer);
    // Detaches from the item and destroys it, unless the host is destroying
    // it already.
    virtual ~BaseADMItem();

    // A new item in `dialog`; null when the host could not make it.
    virtual ADMItemRef Create(ADMDialogRef dialog, const ADMRect& bounds, const char* itemType,
                              ASInt32 itemID);

    ASInt32 GetValue() const { return m_value; }

protected:
    void InstallProcedures();

private:
    friend struct ADMProcedures;

    ASInt32 m_value;
    bool m_destroyedByHost = false;
};

// Compound items whose edit part (child 3) reaches the same wrapper.
class BaseADMSpinEditPopupItem : public BaseADMItem {
public:
    BaseADMSpinEditPopupItem(ADMItemRef item, ASInt32 value);
    ~BaseADMSpinEditPopupItem() override;
};

class BaseADMEditTextPopupItem : public BaseADMItem {
public:
    BaseADMEditTextPopupItem(ADMItemRef item, ASInt32 value);
    ~BaseADMEditTextPopupItem() override;
};

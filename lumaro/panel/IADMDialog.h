// The place where a dialog wrapper keeps its host dialog reference.
#pragma once

#include "hostapi/adm_types.h"

class IADMDialog {
public:
    explicit IADMDialog(ADMDialogRef dialog = nullptr) : m_dialogRef(dialog) {}

    // Null before creation and after destruction.
    ADMDialogRef GetDialogRef() const { return m_dialogRef; }

protected:
    ADMDialogRef m_dialogRef;
};

// Resource IDs the module carries; shared by the resource script and the code.
#pragma once

#define kPiPLResourceID 16000
#define kLumaroDialogID 16000
#define kPanelIconID 1001
#define kPanelIconAltID 1002

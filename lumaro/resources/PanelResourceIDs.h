// Item IDs of the panel's dialog (resource kLumaroDialogID); shared by the
// resource script and the panel's code, which reaches every item by its ID.
#pragma once

#define kInstallButton 10
#define kActivateButton 9
#define kMissingLabelText 8
#define kRefreshButton 11
#define kActivateAllButton 12
#define kInstallAllButton 13
#define kAvailableList 14
#define kAvailableLabelText 15
#define kMissingExtraText 16
#define kAvailableExtraText 17
#define kMissingList 18
#define kFindButton 19
#define kHelpButton 20
#define kStatusText 21

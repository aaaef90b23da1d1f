// The dialog manager's suites as the plug-in acquires them. Every function
// serves DialogManager::Active() and ignores references it does not hold.
#pragma once

#include <vector>

#include "hostapi/adm_dialog.h"
#include "hostapi/adm_dialog_group.h"
#include "hostapi/adm_drawer.h"
#include "hostapi/adm_entry.h"
#include "hostapi/adm_hierarchy_list.h"
#include "hostapi/adm_icon.h"
#include "hostapi/adm_image.h"
#include "hostapi/adm_item.h"
#include "hostapi/adm_list.h"
#include "hostapi/adm_notifier.h"

namespace host::adm {

const ADMDialogSuite10& DialogSuite();
const ADMItemSuite7& ItemSuite();
const ADMListSuite1& ListSuite();
const ADMEntrySuite2& EntrySuite();
const ADMNotifierSuite2& NotifierSuite();
const ADMIconSuite2& IconSuite();
const ADMDialogGroupSuite1& DialogGroupSuite();
const ADMDrawerSuite6& DrawerSuite();
const ADMImageSuite2& ImageSuite();
const ADMHierarchyListSuite5& HierarchyListSuite();

struct SuiteTable {
    const char* name;
    ASInt32 version;
    const void* table;
};
// Every suite above with its name and version, for the host's registry.
std::vector<SuiteTable> AllSuites();

}  // namespace host::adm

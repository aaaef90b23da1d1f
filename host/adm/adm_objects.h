// What the host keeps behind the dialog manager's opaque references. The
// plug-in sees only the incomplete types of hostapi/adm_types.h; the host
// defines them here.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "hostapi/adm_types.h"
#include "hostapi/errors.h"

namespace host::adm {
class DialogManager;

enum class ItemKind {
    kStatic,
    kPushButton,
    kListBox,
    kTextEdit,
    kSpinEditPopup,
    kTextEditPopup,
    kUser
};

const char* ItemTypeName(ItemKind kind);
// Null when the host does not know the type.
bool ItemKindFromTypeName(const char* type, ItemKind* kind);
}  // namespace host::adm

struct ADMIcon {
    std::int32_t width = 0;
    std::int32_t height = 0;
    // Straight (not premultiplied) RGBA, row after row.
    std::vector<std::uint8_t> rgba;
};

struct ADMEntry {
    ADMList* list = nullptr;
    std::string text;
    ADMUserData userData = nullptr;
    bool selected = false;
    bool enabled = true;
};

struct ADMList {
    ADMItem* item = nullptr;
    std::vector<std::unique_ptr<ADMEntry>> entries;
    ADMEntry* active = nullptr;
    bool multiSelect = false;
};

struct ADMItem {
    host::adm::DialogManager* manager = nullptr;
    ADMDialog* dialog = nullptr;
    ADMItem* parent = nullptr;
    ASInt32 id = 0;
    host::adm::ItemKind kind = host::adm::ItemKind::kStatic;
    ADMRect bounds{};
    std::string text;
    bool enabled = true;
    bool visible = true;
    ASInt32 font = kADMDefaultFont;
    ADMUserData userData = nullptr;
    ADMItemDrawProc drawProc = nullptr;
    ADMItemTrackProc trackProc = nullptr;
    ADMItemNotifyProc notifyProc = nullptr;
    ADMItemDestroyProc destroyProc = nullptr;
    ADMItemTextToFloatProc textToFloatProc = nullptr;
    ADMItemFloatToTextProc floatToTextProc = nullptr;
    std::unique_ptr<ADMList> list;
    std::vector<std::unique_ptr<ADMItem>> children;
    bool destroying = false;
};

struct ADMDialog {
    host::adm::DialogManager* manager = nullptr;
    SPPluginRef plugin = nullptr;
    std::string name;
    ASInt32 id = 0;
    ASInt32 style = 0;
    bool modal = false;
    std::string text;
    ADMRect bounds{};
    bool visible = false;
    bool enabled = true;
    ADMUserData userData = nullptr;
    ADMDialogDrawProc drawProc = nullptr;
    ADMDialogTrackProc trackProc = nullptr;
    ADMDialogNotifyProc notifyProc = nullptr;
    ADMDialogDestroyProc destroyProc = nullptr;
    std::vector<std::unique_ptr<ADMItem>> items;  // template order
    ADMIconRef icons[2] = {nullptr, nullptr};
    std::string groupName;
    ASInt32 positionCode = 0;
    bool destroying = false;
};

struct ADMNotifier {
    std::string type;
    ADMItem* item = nullptr;
    ADMDialog* dialog = nullptr;
};

struct ADMDrawer {
    ADMDialog* dialog = nullptr;
    ADMItem* item = nullptr;
    ADMRect bounds{};
    // What the plug-in drew, one line per call, for tests.
    std::vector<std::string> operations;
};

struct ADMTracker {
    ADMDialog* dialog = nullptr;
    ADMItem* item = nullptr;
};

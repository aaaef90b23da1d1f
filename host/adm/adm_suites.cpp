#include "host/adm/adm_suites.h"

#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

#include "host/adm/dialog_manager.h"

// Off-screen images: the simulation keeps their size only.
struct ADMImage {
    ASInt32 width = 0;
    ASInt32 height = 0;
};

namespace host::adm {
namespace {

DialogManager* M() { return DialogManager::Active(); }

ADMDialog* D(ADMDialogRef d) {
    DialogManager* m = M();
    ADMDialog* live = m ? m->LiveDialog(d) : nullptr;
    if (m != nullptr && live == nullptr) m->Problem("stale or null dialog reference");
    return live;
}
ADMItem* I(ADMItemRef i) {
    DialogManager* m = M();
    ADMItem* live = m ? m->LiveItem(i) : nullptr;
    if (m != nullptr && live == nullptr) m->Problem("stale or null item reference");
    return live;
}
ADMList* L(ADMListRef l) {
    DialogManager* m = M();
    ADMList* live = m ? m->LiveList(l) : nullptr;
    if (m != nullptr && live == nullptr) m->Problem("stale or null list reference");
    return live;
}
ADMEntry* E(ADMEntryRef e) {
    DialogManager* m = M();
    ADMEntry* live = m ? m->LiveEntry(e) : nullptr;
    if (m != nullptr && live == nullptr) m->Problem("stale or null entry reference");
    return live;
}

// Copies text into a caller's buffer, always terminated inside it.
void CopyOut(const std::string& text, char* out, std::size_t capacity) {
    if (out == nullptr || capacity == 0) return;
    std::size_t n = std::min(text.size(), capacity - 1);
    std::memcpy(out, text.data(), n);
    out[n] = '\0';
}

// --- dialog suite ----------------------------------------------------------------

ADMDialogRef HOSTAPI DlgCreate(SPPluginRef plugin, const char* name, ASInt32 dialogID,
                               ASInt32 style, ADMDialogInitProc initProc, ADMUserData userData,
                               ASInt32) {
    return M() ? M()->CreateDialog(plugin, name, dialogID, style, initProc, userData, false)
               : nullptr;
}
ASInt32 HOSTAPI DlgModal(SPPluginRef plugin, const char* name, ASInt32 dialogID, ASInt32 style,
                         ADMDialogInitProc initProc, ADMUserData userData, ASInt32) {
    return M() ? M()->RunModal(plugin, name, dialogID, style, initProc, userData) : -1;
}
ASInt32 HOSTAPI DlgPopupModal(SPPluginRef plugin, const char* name, ASInt32 dialogID,
                              ADMDialogInitProc initProc, ADMUserData userData, ASInt32) {
    return M() ? M()->RunModal(plugin, name, dialogID, kADMPopupDialogStyle, initProc, userData)
               : -1;
}
void HOSTAPI DlgDestroy(ADMDialogRef d) {
    if (M()) M()->DestroyDialog(d);
}
void HOSTAPI DlgSetDrawProc(ADMDialogRef d, ADMDialogDrawProc p) {
    if (auto* x = D(d)) x->drawProc = p;
}
ADMDialogDrawProc HOSTAPI DlgGetDrawProc(ADMDialogRef d) {
    auto* x = D(d);
    return x ? x->drawProc : nullptr;
}
void HOSTAPI DlgDefaultDraw(ADMDialogRef d, ADMDrawerRef drawer) {
    if (M()) M()->DefaultDrawDialog(d, drawer);
}
void HOSTAPI DlgSetTrackProc(ADMDialogRef d, ADMDialogTrackProc p) {
    if (auto* x = D(d)) x->trackProc = p;
}
ADMDialogTrackProc HOSTAPI DlgGetTrackProc(ADMDialogRef d) {
    auto* x = D(d);
    return x ? x->trackProc : nullptr;
}
// A click on a dialog's bare surface does nothing by default.
ASBoolean HOSTAPI DlgDefaultTrack(ADMDialogRef, ADMTrackerRef) { return false; }
void HOSTAPI DlgSetNotifyProc(ADMDialogRef d, ADMDialogNotifyProc p) {
    if (auto* x = D(d)) x->notifyProc = p;
}
ADMDialogNotifyProc HOSTAPI DlgGetNotifyProc(ADMDialogRef d) {
    auto* x = D(d);
    return x ? x->notifyProc : nullptr;
}
void HOSTAPI DlgDefaultNotify(ADMDialogRef d, ADMNotifierRef n) {
    if (M()) M()->DefaultNotifyDialog(d, n);
}
void HOSTAPI DlgSetDestroyProc(ADMDialogRef d, ADMDialogDestroyProc p) {
    if (auto* x = D(d)) x->destroyProc = p;
}
ADMDialogDestroyProc HOSTAPI DlgGetDestroyProc(ADMDialogRef d) {
    auto* x = D(d);
    return x ? x->destroyProc : nullptr;
}
void HOSTAPI DlgSetUserData(ADMDialogRef d, ADMUserData u) {
    if (auto* x = D(d)) x->userData = u;
}
ADMUserData HOSTAPI DlgGetUserData(ADMDialogRef d) {
    auto* x = D(d);
    return x ? x->userData : nullptr;
}
SPPluginRef HOSTAPI DlgGetPluginRef(ADMDialogRef d) {
    auto* x = D(d);
    return x ? x->plugin : nullptr;
}
const char* HOSTAPI DlgGetDialogName(ADMDialogRef d) {
    auto* x = D(d);
    return x ? x->name.c_str() : nullptr;
}
ASInt32 HOSTAPI DlgGetID(ADMDialogRef d) {
    auto* x = D(d);
    return x ? x->id : 0;
}
void HOSTAPI DlgShow(ADMDialogRef d, ASBoolean show) {
    if (D(d)) M()->ShowDialog(d, show != 0);
}
ASBoolean HOSTAPI DlgIsVisible(ADMDialogRef d) {
    auto* x = D(d);
    return x ? x->visible : false;
}
void HOSTAPI DlgEnable(ADMDialogRef d, ASBoolean enable) {
    if (auto* x = D(d)) x->enabled = enable != 0;
}
ASBoolean HOSTAPI DlgIsEnabled(ADMDialogRef d) {
    auto* x = D(d);
    return x ? x->enabled : false;
}
void HOSTAPI DlgGetBoundsRect(ADMDialogRef d, ADMRect* r) {
    auto* x = D(d);
    if (r != nullptr) *r = x ? x->bounds : ADMRect{};
}
void HOSTAPI DlgSetBoundsRect(ADMDialogRef d, const ADMRect* r) {
    auto* x = D(d);
    if (x != nullptr && r != nullptr && r->right >= r->left && r->bottom >= r->top) x->bounds = *r;
}
void HOSTAPI DlgSetText(ADMDialogRef d, const char* text) {
    if (auto* x = D(d)) x->text = text ? text : "";
}
void HOSTAPI DlgGetText(ADMDialogRef d, char* text, ASInt32 maxLength) {
    auto* x = D(d);
    if (maxLength > 0) CopyOut(x ? x->text : std::string(), text, maxLength);
}
ADMItemRef HOSTAPI DlgGetItem(ADMDialogRef d, ASInt32 itemID) {
    auto* x = D(d);
    if (x == nullptr) return nullptr;
    for (auto& item : x->items) {
        if (item->id == itemID) return item.get();
    }
    return nullptr;
}
ASErr HOSTAPI DlgSetIcon(ADMDialogRef d, ASInt32 index, ADMIconRef icon) {
    auto* x = D(d);
    if (x == nullptr || index < 0 || index > 1) return kBadParameterErr;
    // A null icon clears the slot, as a failed load leaves it.
    if (icon != nullptr && M()->LiveIcon(icon) == nullptr) return kBadParameterErr;
    x->icons[index] = icon;
    return kNoErr;
}
ADMIconRef HOSTAPI DlgGetIcon(ADMDialogRef d, ASInt32 index) {
    auto* x = D(d);
    if (x == nullptr || index < 0 || index > 1) return nullptr;
    return x->icons[index];
}

// --- item suite -------------------------------------------------------------------

ADMItemRef HOSTAPI ItmCreate(ADMDialogRef d, ASInt32 itemID, const char* type, const ADMRect* b,
                             ADMItemInitProc initProc, ADMUserData userData, ASInt32) {
    return M() ? M()->CreateItem(d, itemID, type, b, initProc, userData) : nullptr;
}
void HOSTAPI ItmDestroy(ADMItemRef i) {
    if (M()) M()->DestroyItem(i);
}
void HOSTAPI ItmSetDrawProc(ADMItemRef i, ADMItemDrawProc p) {
    if (auto* x = I(i)) x->drawProc = p;
}
ADMItemDrawProc HOSTAPI ItmGetDrawProc(ADMItemRef i) {
    auto* x = I(i);
    return x ? x->drawProc : nullptr;
}
void HOSTAPI ItmDefaultDraw(ADMItemRef, ADMDrawerRef) {}
void HOSTAPI ItmSetTrackProc(ADMItemRef i, ADMItemTrackProc p) {
    if (auto* x = I(i)) x->trackProc = p;
}
ADMItemTrackProc HOSTAPI ItmGetTrackProc(ADMItemRef i) {
    auto* x = I(i);
    return x ? x->trackProc : nullptr;
}
// A click released inside the item counts.
ASBoolean HOSTAPI ItmDefaultTrack(ADMItemRef i, ADMTrackerRef) { return I(i) != nullptr; }
void HOSTAPI ItmSetNotifyProc(ADMItemRef i, ADMItemNotifyProc p) {
    if (auto* x = I(i)) x->notifyProc = p;
}
ADMItemNotifyProc HOSTAPI ItmGetNotifyProc(ADMItemRef i) {
    auto* x = I(i);
    return x ? x->notifyProc : nullptr;
}
void HOSTAPI ItmDefaultNotify(ADMItemRef i, ADMNotifierRef n) {
    if (M()) M()->DefaultNotifyItem(i, n);
}
void HOSTAPI ItmSetDestroyProc(ADMItemRef i, ADMItemDestroyProc p) {
    if (auto* x = I(i)) x->destroyProc = p;
}
ADMItemDestroyProc HOSTAPI ItmGetDestroyProc(ADMItemRef i) {
    auto* x = I(i);
    return x ? x->destroyProc : nullptr;
}
void HOSTAPI ItmSetTextToFloatProc(ADMItemRef i, ADMItemTextToFloatProc p) {
    if (auto* x = I(i)) x->textToFloatProc = p;
}
ADMItemTextToFloatProc HOSTAPI ItmGetTextToFloatProc(ADMItemRef i) {
    auto* x = I(i);
    return x ? x->textToFloatProc : nullptr;
}
ASBoolean HOSTAPI ItmDefaultTextToFloat(ADMItemRef i, const char* text, float* value) {
    auto* x = I(i);
    if (x == nullptr) return false;
    // The default conversion, without the item's own procedure.
    ADMItemTextToFloatProc own = x->textToFloatProc;
    x->textToFloatProc = nullptr;
    bool ok = M()->TextToFloat(i, text, value);
    if (M()->LiveItem(i)) x->textToFloatProc = own;
    return ok;
}
void HOSTAPI ItmSetFloatToTextProc(ADMItemRef i, ADMItemFloatToTextProc p) {
    if (auto* x = I(i)) x->floatToTextProc = p;
}
ADMItemFloatToTextProc HOSTAPI ItmGetFloatToTextProc(ADMItemRef i) {
    auto* x = I(i);
    return x ? x->floatToTextProc : nullptr;
}
ASBoolean HOSTAPI ItmDefaultFloatToText(ADMItemRef i, float value, char* text, ASInt32 length) {
    auto* x = I(i);
    if (x == nullptr) return false;
    ADMItemFloatToTextProc own = x->floatToTextProc;
    x->floatToTextProc = nullptr;
    bool ok = M()->FloatToText(i, value, text, length);
    if (M()->LiveItem(i)) x->floatToTextProc = own;
    return ok;
}
void HOSTAPI ItmSetUserData(ADMItemRef i, ADMUserData u) {
    if (auto* x = I(i)) x->userData = u;
}
ADMUserData HOSTAPI ItmGetUserData(ADMItemRef i) {
    auto* x = I(i);
    return x ? x->userData : nullptr;
}
ASInt32 HOSTAPI ItmGetID(ADMItemRef i) {
    auto* x = I(i);
    return x ? x->id : 0;
}
ADMDialogRef HOSTAPI ItmGetDialog(ADMItemRef i) {
    auto* x = I(i);
    return x ? x->dialog : nullptr;
}
const char* HOSTAPI ItmGetItemType(ADMItemRef i) {
    auto* x = I(i);
    return x ? ItemTypeName(x->kind) : nullptr;
}
ADMItemRef HOSTAPI ItmGetChildItem(ADMItemRef i, ASInt32 childID) {
    auto* x = I(i);
    if (x == nullptr) return nullptr;
    for (auto& child : x->children) {
        if (child->id == childID) return child.get();
    }
    return nullptr;
}
ADMListRef HOSTAPI ItmGetList(ADMItemRef i) {
    auto* x = I(i);
    return x ? x->list.get() : nullptr;
}
void HOSTAPI ItmEnable(ADMItemRef i, ASBoolean enable) {
    if (auto* x = I(i)) x->enabled = enable != 0;
}
ASBoolean HOSTAPI ItmIsEnabled(ADMItemRef i) {
    auto* x = I(i);
    return x ? x->enabled : false;
}
void HOSTAPI ItmShow(ADMItemRef i, ASBoolean show) {
    if (auto* x = I(i)) x->visible = show != 0;
}
ASBoolean HOSTAPI ItmIsVisible(ADMItemRef i) {
    auto* x = I(i);
    return x ? x->visible : false;
}
void HOSTAPI ItmGetBoundsRect(ADMItemRef i, ADMRect* r) {
    auto* x = I(i);
    if (r != nullptr) *r = x ? x->bounds : ADMRect{};
}
void HOSTAPI ItmSetText(ADMItemRef i, const char* text) {
    if (auto* x = I(i)) x->text = text ? text : "";
}
void HOSTAPI ItmGetText(ADMItemRef i, char* text, ASInt32 maxLength) {
    auto* x = I(i);
    if (maxLength > 0) CopyOut(x ? x->text : std::string(), text, maxLength);
}
ASInt32 HOSTAPI ItmGetTextLength(ADMItemRef i) {
    auto* x = I(i);
    return x ? static_cast<ASInt32>(x->text.size()) : 0;
}
void HOSTAPI ItmSetFont(ADMItemRef i, ASInt32 font) {
    if (auto* x = I(i)) x->font = font;
}
ASInt32 HOSTAPI ItmGetFont(ADMItemRef i) {
    auto* x = I(i);
    return x ? x->font : kADMDefaultFont;
}

// --- list and entry suites -------------------------------------------------------

ASInt32 HOSTAPI LstNumberOfEntries(ADMListRef l) {
    auto* x = L(l);
    return x ? static_cast<ASInt32>(x->entries.size()) : 0;
}
ADMEntryRef HOSTAPI LstInsertEntry(ADMListRef l, ASInt32 index) {
    return L(l) ? M()->InsertEntry(l, index) : nullptr;
}
void HOSTAPI LstRemoveEntry(ADMListRef l, ASInt32 index) {
    if (L(l)) M()->RemoveEntry(l, index);
}
ADMEntryRef HOSTAPI LstIndexEntry(ADMListRef l, ASInt32 index) {
    auto* x = L(l);
    if (x == nullptr || index < 0 || static_cast<std::size_t>(index) >= x->entries.size()) {
        return nullptr;
    }
    return x->entries[index].get();
}
ADMEntryRef HOSTAPI LstFindEntry(ADMListRef l, const char* text) {
    auto* x = L(l);
    if (x == nullptr || text == nullptr) return nullptr;
    for (auto& e : x->entries) {
        if (e->text == text) return e.get();
    }
    return nullptr;
}
ADMEntryRef HOSTAPI LstGetActiveEntry(ADMListRef l) {
    auto* x = L(l);
    return x ? x->active : nullptr;
}
ASInt32 HOSTAPI LstNumberOfSelectedEntries(ADMListRef l) {
    auto* x = L(l);
    if (x == nullptr) return 0;
    ASInt32 n = 0;
    for (auto& e : x->entries) n += e->selected ? 1 : 0;
    return n;
}
ADMEntryRef HOSTAPI LstIndexSelectedEntry(ADMListRef l, ASInt32 selectionIndex) {
    auto* x = L(l);
    if (x == nullptr || selectionIndex < 0) return nullptr;
    for (auto& e : x->entries) {
        if (e->selected && selectionIndex-- == 0) return e.get();
    }
    return nullptr;
}
ADMItemRef HOSTAPI LstGetItem(ADMListRef l) {
    auto* x = L(l);
    return x ? x->item : nullptr;
}

void HOSTAPI EntSetText(ADMEntryRef e, const char* text) {
    if (auto* x = E(e)) x->text = text ? text : "";
}
void HOSTAPI EntGetText(ADMEntryRef e, char* text, ASInt32 maxLength) {
    auto* x = E(e);
    if (maxLength > 0) CopyOut(x ? x->text : std::string(), text, maxLength);
}
ASInt32 HOSTAPI EntGetTextLength(ADMEntryRef e) {
    auto* x = E(e);
    return x ? static_cast<ASInt32>(x->text.size()) : 0;
}
void HOSTAPI EntSetUserData(ADMEntryRef e, ADMUserData u) {
    if (auto* x = E(e)) x->userData = u;
}
ADMUserData HOSTAPI EntGetUserData(ADMEntryRef e) {
    auto* x = E(e);
    return x ? x->userData : nullptr;
}
void HOSTAPI EntSelect(ADMEntryRef e, ASBoolean select) {
    if (E(e)) M()->SelectEntry(e, select != 0);
}
ASBoolean HOSTAPI EntIsSelected(ADMEntryRef e) {
    auto* x = E(e);
    return x ? x->selected : false;
}
void HOSTAPI EntActivate(ADMEntryRef e, ASBoolean activate) {
    if (E(e)) M()->ActivateEntry(e, activate != 0);
}
ASBoolean HOSTAPI EntIsActive(ADMEntryRef e) {
    auto* x = E(e);
    return x ? x->list->active == x : false;
}
ASInt32 HOSTAPI EntGetIndex(ADMEntryRef e) {
    auto* x = E(e);
    if (x == nullptr) return -1;
    auto& entries = x->list->entries;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        if (entries[i].get() == x) return static_cast<ASInt32>(i);
    }
    return -1;
}
ADMListRef HOSTAPI EntGetList(ADMEntryRef e) {
    auto* x = E(e);
    return x ? x->list : nullptr;
}
void HOSTAPI EntEnable(ADMEntryRef e, ASBoolean enable) {
    if (auto* x = E(e)) x->enabled = enable != 0;
}
ASBoolean HOSTAPI EntIsEnabled(ADMEntryRef e) {
    auto* x = E(e);
    return x ? x->enabled : false;
}

// --- notifier suite -----------------------------------------------------------------
// Notifiers live on the host's stack for the length of one notify call.

ADMItemRef HOSTAPI NtfGetItem(ADMNotifierRef n) { return n ? n->item : nullptr; }
ADMDialogRef HOSTAPI NtfGetDialog(ADMNotifierRef n) { return n ? n->dialog : nullptr; }
ASBoolean HOSTAPI NtfIsNotifierType(ADMNotifierRef n, const char* type) {
    return n != nullptr && type != nullptr && n->type == type;
}
void HOSTAPI NtfGetNotifierType(ADMNotifierRef n, char* type, ASUInt32 maxLength) {
    CopyOut(n ? n->type : std::string(), type, maxLength);
}

// --- icon suite -------------------------------------------------------------------

ADMIconRef HOSTAPI IcnGetFromResource(SPPluginRef plugin, const char* name, ASInt32 id,
                                      ASInt32 index) {
    return M() ? M()->LoadIcon(plugin, name, id, index) : nullptr;
}
void HOSTAPI IcnDestroy(ADMIconRef icon) {
    if (M()) M()->DestroyIcon(icon);
}
ASInt32 HOSTAPI IcnGetWidth(ADMIconRef icon) {
    auto* x = M() ? M()->LiveIcon(icon) : nullptr;
    return x ? x->width : 0;
}
ASInt32 HOSTAPI IcnGetHeight(ADMIconRef icon) {
    auto* x = M() ? M()->LiveIcon(icon) : nullptr;
    return x ? x->height : 0;
}

// --- dialog group suite ---------------------------------------------------------------

ASErr HOSTAPI GrpGetDialogGroupInfo(ADMDialogRef d, const char** groupName, ASInt32* code) {
    auto* x = D(d);
    if (x == nullptr) return kBadParameterErr;
    if (groupName != nullptr) *groupName = x->groupName.c_str();
    if (code != nullptr) *code = x->positionCode;
    return kNoErr;
}
ASErr HOSTAPI GrpSetDialogGroupInfo(ADMDialogRef d, const char* groupName, ASInt32 code) {
    auto* x = D(d);
    if (x == nullptr) return kBadParameterErr;
    x->groupName = groupName ? groupName : "";
    x->positionCode = code;
    return kNoErr;
}

// --- drawer suite: records what a draw procedure draws -------------------------------

void HOSTAPI DrwGetBoundsRect(ADMDrawerRef drawer, ADMRect* r) {
    if (r != nullptr) *r = drawer ? drawer->bounds : ADMRect{};
}
void HOSTAPI DrwSetRGBColor(ADMDrawerRef drawer, ASUInt32 rgb) {
    if (drawer == nullptr) return;
    char buf[32];
    std::snprintf(buf, sizeof buf, "color %06X", static_cast<unsigned>(rgb & 0xFFFFFF));
    drawer->operations.push_back(buf);
}
void HOSTAPI DrwFillRect(ADMDrawerRef drawer, const ADMRect* r) {
    if (drawer == nullptr || r == nullptr) return;
    drawer->operations.push_back("fill " + std::to_string(r->left) + " " + std::to_string(r->top) +
                                 " " + std::to_string(r->right) + " " + std::to_string(r->bottom));
}
void HOSTAPI DrwDrawText(ADMDrawerRef drawer, const char* text, const ADMPoint* p) {
    if (drawer == nullptr || text == nullptr || p == nullptr) return;
    drawer->operations.push_back("text " + std::to_string(p->h) + " " + std::to_string(p->v) + " " +
                                 text);
}
void HOSTAPI DrwDrawIcon(ADMDrawerRef drawer, ADMIconRef icon, const ADMPoint* p) {
    if (drawer == nullptr || p == nullptr || M() == nullptr || M()->LiveIcon(icon) == nullptr) {
        return;
    }
    drawer->operations.push_back("icon " + std::to_string(p->h) + " " + std::to_string(p->v));
}

// --- image suite ------------------------------------------------------------------

ADMImageRef HOSTAPI ImgCreate(ASInt32 width, ASInt32 height, ASInt32) {
    if (width <= 0 || height <= 0) return nullptr;
    auto* image = new ADMImage;
    image->width = width;
    image->height = height;
    return image;
}
void HOSTAPI ImgDestroy(ADMImageRef image) { delete image; }
ASInt32 HOSTAPI ImgGetWidth(ADMImageRef image) { return image ? image->width : 0; }
ASInt32 HOSTAPI ImgGetHeight(ADMImageRef image) { return image ? image->height : 0; }

// --- hierarchy list suite ----------------------------------------------------------
// No item of this host carries a hierarchy list, so no reference can be valid.

ASInt32 HOSTAPI HlNumberOfEntries(ADMHierarchyListRef) { return 0; }
ADMListEntryRef HOSTAPI HlInsertEntry(ADMHierarchyListRef, ASInt32) { return nullptr; }
void HOSTAPI HlRemoveEntry(ADMHierarchyListRef, ASInt32) {}
ADMListEntryRef HOSTAPI HlIndexEntry(ADMHierarchyListRef, ASInt32) { return nullptr; }

const ADMDialogSuite10 kDialogSuite = {
    DlgCreate,        DlgModal,         DlgPopupModal,    DlgDestroy,        DlgSetDrawProc,
    DlgGetDrawProc,   DlgDefaultDraw,   DlgSetTrackProc,  DlgGetTrackProc,   DlgDefaultTrack,
    DlgSetNotifyProc, DlgGetNotifyProc, DlgDefaultNotify, DlgSetDestroyProc, DlgGetDestroyProc,
    DlgSetUserData,   DlgGetUserData,   DlgGetPluginRef,  DlgGetDialogName,  DlgGetID,
    DlgShow,          DlgIsVisible,     DlgEnable,        DlgIsEnabled,      DlgGetBoundsRect,
    DlgSetBoundsRect, DlgSetText,       DlgGetText,       DlgGetItem,        DlgSetIcon,
    DlgGetIcon,
};

const ADMItemSuite7 kItemSuite = {
    ItmCreate,
    ItmDestroy,
    ItmSetDrawProc,
    ItmGetDrawProc,
    ItmDefaultDraw,
    ItmSetTrackProc,
    ItmGetTrackProc,
    ItmDefaultTrack,
    ItmSetNotifyProc,
    ItmGetNotifyProc,
    ItmDefaultNotify,
    ItmSetDestroyProc,
    ItmGetDestroyProc,
    ItmSetTextToFloatProc,
    ItmGetTextToFloatProc,
    ItmDefaultTextToFloat,
    ItmSetFloatToTextProc,
    ItmGetFloatToTextProc,
    ItmDefaultFloatToText,
    ItmSetUserData,
    ItmGetUserData,
    ItmGetID,
    ItmGetDialog,
    ItmGetItemType,
    ItmGetChildItem,
    ItmGetList,
    ItmEnable,
    ItmIsEnabled,
    ItmShow,
    ItmIsVisible,
    ItmGetBoundsRect,
    ItmSetText,
    ItmGetText,
    ItmGetTextLength,
    ItmSetFont,
    ItmGetFont,
};

const ADMListSuite1 kListSuite = {
    LstNumberOfEntries,
    LstInsertEntry,
    LstRemoveEntry,
    LstIndexEntry,
    LstFindEntry,
    LstGetActiveEntry,
    LstNumberOfSelectedEntries,
    LstIndexSelectedEntry,
    LstGetItem,
};

const ADMEntrySuite2 kEntrySuite = {
    EntSetText, EntGetText,    EntGetTextLength, EntSetUserData, EntGetUserData,
    EntSelect,  EntIsSelected, EntActivate,      EntIsActive,    EntGetIndex,
    EntGetList, EntEnable,     EntIsEnabled,
};

const ADMNotifierSuite2 kNotifierSuite = {NtfGetItem, NtfGetDialog, NtfIsNotifierType,
                                          NtfGetNotifierType};
const ADMIconSuite2 kIconSuite = {IcnGetFromResource, IcnDestroy, IcnGetWidth, IcnGetHeight};
const ADMDialogGroupSuite1 kDialogGroupSuite = {GrpGetDialogGroupInfo, GrpSetDialogGroupInfo};
const ADMDrawerSuite6 kDrawerSuite = {DrwGetBoundsRect, DrwSetRGBColor, DrwFillRect, DrwDrawText,
                                      DrwDrawIcon};
const ADMImageSuite2 kImageSuite = {ImgCreate, ImgDestroy, ImgGetWidth, ImgGetHeight};
const ADMHierarchyListSuite5 kHierarchyListSuite = {HlNumberOfEntries, HlInsertEntry, HlRemoveEntry,
                                                    HlIndexEntry};

}  // namespace

const ADMDialogSuite10& DialogSuite() { return kDialogSuite; }
const ADMItemSuite7& ItemSuite() { return kItemSuite; }
const ADMListSuite1& ListSuite() { return kListSuite; }
const ADMEntrySuite2& EntrySuite() { return kEntrySuite; }
const ADMNotifierSuite2& NotifierSuite() { return kNotifierSuite; }
const ADMIconSuite2& IconSuite() { return kIconSuite; }
const ADMDialogGroupSuite1& DialogGroupSuite() { return kDialogGroupSuite; }
const ADMDrawerSuite6& DrawerSuite() { return kDrawerSuite; }
const ADMImageSuite2& ImageSuite() { return kImageSuite; }
const ADMHierarchyListSuite5& HierarchyListSuite() { return kHierarchyListSuite; }

std::vector<SuiteTable> AllSuites() {
    return {
        {kADMDialogSuite, kADMDialogSuiteVersion, &kDialogSuite},
        {kADMItemSuite, kADMItemSuiteVersion, &kItemSuite},
        {kADMListSuite, kADMListSuiteVersion, &kListSuite},
        {kADMEntrySuite, kADMEntrySuiteVersion, &kEntrySuite},
        {kADMNotifierSuite, kADMNotifierSuiteVersion, &kNotifierSuite},
        {kADMIconSuite, kADMIconSuiteVersion, &kIconSuite},
        {kADMDialogGroupSuite, kADMDialogGroupSuiteVersion, &kDialogGroupSuite},
        {kADMDrawerSuite, kADMDrawerSuiteVersion, &kDrawerSuite},
        {kADMImageSuite, kADMImageSuiteVersion, &kImageSuite},
        {kADMHierarchyListSuite, kADMHierarchyListSuiteVersion, &kHierarchyListSuite},
    };
}

}  // namespace host::adm

#include "host/adm/dialog_manager.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <sstream>

#include "host/adm/icon_decoder.h"
#include "hostapi/adm_dialog_group.h"
#include "platform/win32.h"

namespace host::adm {
namespace {

DialogManager* g_active = nullptr;

constexpr std::uint32_t kLbsMultipleSel = 0x0008;
constexpr std::uint32_t kLbsExtendedSel = 0x0800;

struct KindName {
    ItemKind kind;
    const char* name;
};
constexpr KindName kKindNames[] = {
    {ItemKind::kStatic, kADMTextStaticType},
    {ItemKind::kPushButton, kADMTextPushButtonType},
    {ItemKind::kListBox, kADMListBoxType},
    {ItemKind::kTextEdit, kADMTextEditType},
    {ItemKind::kSpinEditPopup, kADMSpinEditPopupType},
    {ItemKind::kTextEditPopup, kADMTextEditPopupType},
    {ItemKind::kUser, kADMUserType},
};

ItemKind KindOfTemplateItem(const TemplateItem& item) {
    const TemplateName& cls = item.windowClass;
    if (cls.kind == TemplateName::Kind::kOrdinal) {
        switch (static_cast<TemplateAtom>(cls.ordinal)) {
            case TemplateAtom::kButton:
                return ItemKind::kPushButton;
            case TemplateAtom::kEdit:
                return ItemKind::kTextEdit;
            case TemplateAtom::kStatic:
                return ItemKind::kStatic;
            case TemplateAtom::kListBox:
                return ItemKind::kListBox;
            default:
                return ItemKind::kUser;
        }
    }
    for (const KindName& k : kKindNames) {
        if (cls.IsString(k.name)) return k.kind;
    }
    return ItemKind::kUser;
}

ADMRect ToPixels(int x, int y, int cx, int cy) {
    ADMRect r;
    r.left = DialogUnitsToPixelsX(x);
    r.top = DialogUnitsToPixelsY(y);
    r.right = DialogUnitsToPixelsX(x + cx);
    r.bottom = DialogUnitsToPixelsY(y + cy);
    return r;
}

const char* KindLabel(ItemKind kind) {
    switch (kind) {
        case ItemKind::kStatic:
            return "static";
        case ItemKind::kPushButton:
            return "button";
        case ItemKind::kListBox:
            return "list";
        case ItemKind::kTextEdit:
            return "edit";
        case ItemKind::kSpinEditPopup:
            return "spin-edit-popup";
        case ItemKind::kTextEditPopup:
            return "edit-popup";
        case ItemKind::kUser:
            return "user";
    }
    return "user";
}

std::string Quoted(const std::string& text) {
    std::string out = "\"";
    for (unsigned char c : text) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c < 0x20 || c == 0x7F) {
            char buf[8];
            std::snprintf(buf, sizeof buf, "\\x%02X", c);
            out += buf;
        } else {
            out += static_cast<char>(c);
        }
    }
    return out + "\"";
}

}  // namespace

const char* ItemTypeName(ItemKind kind) {
    for (const KindName& k : kKindNames) {
        if (k.kind == kind) return k.name;
    }
    return kADMUserType;
}

bool ItemKindFromTypeName(const char* type, ItemKind* kind) {
    if (type == nullptr) return false;
    for (const KindName& k : kKindNames) {
        if (std::strcmp(type, k.name) == 0) {
            *kind = k.kind;
            return true;
        }
    }
    return false;
}

std::string TemplateTextToNarrow(const std::u16string& text) {
    // The host shows dialog texts in the system's ANSI code page.
    if (text.empty()) return {};
    const auto* units = reinterpret_cast<LPCWCH>(text.data());
    int n = static_cast<int>(text.size());
    int size = WideCharToMultiByte(CP_ACP, 0, units, n, nullptr, 0, nullptr, nullptr);
    if (size <= 0) return {};
    std::string out(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(CP_ACP, 0, units, n, out.data(), size, nullptr, nullptr);
    return out;
}

DialogManager::DialogManager(PluginEnvironment& environment) : environment_(environment) {
    g_active = this;
}

DialogManager::~DialogManager() {
    DestroyAll();
    if (g_active == this) g_active = nullptr;
}

DialogManager* DialogManager::Active() { return g_active; }

// --- dialogs ---------------------------------------------------------------

ADMDialogRef DialogManager::CreateDialog(SPPluginRef plugin, const char* name, ASInt32 dialogID,
                                         ASInt32 style, ADMDialogInitProc initProc,
                                         ADMUserData userData, bool modal) {
    Operation operation(*this);
    if (dialogID < 0 || dialogID > 0xFFFF) {
        Problem("dialog ID " + std::to_string(dialogID) + " is not a resource ID");
        return nullptr;
    }
    auto bytes =
        environment_.FindResource(plugin, ResourceType::Number(kDialogResourceType), dialogID);
    if (!bytes) {
        Problem("no dialog resource " + std::to_string(dialogID));
        return nullptr;
    }
    DialogTemplate tpl;
    try {
        tpl = ParseDialogTemplate(*bytes);
    } catch (const TemplateError& e) {
        Problem(std::string("dialog resource ") + std::to_string(dialogID) + ": " + e.what());
        return nullptr;
    }

    auto owned = std::make_unique<ADMDialog>();
    ADMDialog* dialog = owned.get();
    dialog->manager = this;
    dialog->plugin = plugin;
    dialog->name = name ? name : "";
    dialog->id = dialogID;
    dialog->style = style;
    dialog->modal = modal;
    dialog->text = TemplateTextToNarrow(tpl.caption);
    dialog->bounds = ToPixels(tpl.x, tpl.y, tpl.cx, tpl.cy);
    dialog->userData = userData;
    dialog->positionCode = kADMFloatingPositionCode;
    dialogs_.push_back(std::move(owned));
    live_.insert(dialog);
    BuildItems(*dialog, tpl);

    if (initProc != nullptr) {
        ASErr result = kNoErr;
        Call(plugin, [&] { result = initProc(dialog); });
        if (!IsLive(dialog)) return nullptr;  // the init procedure destroyed it
        if (result != kNoErr) {
            DestroyDialog(dialog);
            return nullptr;
        }
    }
    // A palette appears once it is made; a modal dialog is shown by its run.
    ShowDialog(dialog, true);
    return IsLive(dialog) ? dialog : nullptr;
}

ASInt32 DialogManager::RunModal(SPPluginRef plugin, const char* name, ASInt32 dialogID,
                                ASInt32 style, ADMDialogInitProc initProc, ADMUserData userData) {
    Operation operation(*this);
    ADMDialogRef dialog = CreateDialog(plugin, name, dialogID, style, initProc, userData, true);
    if (dialog == nullptr) return -1;
    ASInt32 result = modalScript_ ? modalScript_(dialog) : -1;
    if (IsLive(dialog)) DestroyDialog(dialog);
    return result;
}

void DialogManager::DestroyDialog(ADMDialogRef ref) {
    Operation operation(*this);
    ADMDialog* dialog = LiveDialog(ref);
    if (dialog == nullptr) {
        Problem("Destroy of a dialog the host does not hold");
        return;
    }
    if (dialog->destroying) {
        // A destroy procedure (or a wrapper's destructor run by it) asks for
        // the destruction that is already under way.
        notes_.push_back("Destroy of dialog \"" + dialog->name + "\" while it is being destroyed");
        return;
    }
    dialog->destroying = true;
    if (dialog->destroyProc != nullptr) {
        ADMDialogDestroyProc proc = dialog->destroyProc;
        Call(dialog->plugin, [&] { proc(dialog); });
    }
    // The items go after the dialog's own procedure, one at a time: an
    // item's destroy procedure may destroy a sibling. Items whose own
    // destruction is under way further up finish there.
    for (;;) {
        auto it = std::find_if(dialog->items.begin(), dialog->items.end(),
                               [](const auto& i) { return !i->destroying; });
        if (it == dialog->items.end()) break;
        DestroyItem(it->get());
    }
    for (ADMIconRef& icon : dialog->icons) icon = nullptr;
    live_.erase(dialog);
    auto it = std::find_if(dialogs_.begin(), dialogs_.end(),
                           [&](const auto& d) { return d.get() == dialog; });
    std::unique_ptr<ADMDialog> owned = std::move(*it);
    dialogs_.erase(it);
    Bury(std::move(owned));
}

void DialogManager::DestroyDialogsOf(SPPluginRef plugin) {
    Operation operation(*this);
    for (;;) {
        auto it = std::find_if(dialogs_.begin(), dialogs_.end(), [&](const auto& d) {
            return d->plugin == plugin && !d->destroying;
        });
        if (it == dialogs_.end()) return;
        DestroyDialog(it->get());
    }
}

void DialogManager::DestroyAll() {
    Operation operation(*this);
    for (;;) {
        auto it = std::find_if(dialogs_.begin(), dialogs_.end(),
                               [](const auto& d) { return !d->destroying; });
        if (it == dialogs_.end()) break;
        DestroyDialog(it->get());
    }
    for (auto& icon : icons_) live_.erase(icon.get());
    icons_.clear();
}

void DialogManager::ShowDialog(ADMDialogRef ref, bool show) {
    Operation operation(*this);
    ADMDialog* dialog = LiveDialog(ref);
    if (dialog == nullptr) return;
    bool wasVisible = dialog->visible;
    dialog->visible = show;
    if (show && !wasVisible && !dialog->destroying) {
        ADMDrawer drawer;
        drawer.dialog = dialog;
        drawer.bounds = {0, 0, dialog->bounds.right - dialog->bounds.left,
                         dialog->bounds.bottom - dialog->bounds.top};
        DrawDialog(dialog, &drawer);
    }
}

void DialogManager::DrawDialog(ADMDialogRef ref, ADMDrawer* drawer) {
    Operation operation(*this);
    ADMDialog* dialog = LiveDialog(ref);
    if (dialog == nullptr) return;
    if (dialog->drawProc != nullptr) {
        ADMDialogDrawProc proc = dialog->drawProc;
        Call(dialog->plugin, [&] { proc(dialog, drawer); });
    } else {
        DefaultDrawDialog(dialog, drawer);
    }
}

void DialogManager::DefaultDrawDialog(ADMDialogRef ref, ADMDrawer* drawer) {
    Operation operation(*this);
    ADMDialog* dialog = LiveDialog(ref);
    if (dialog == nullptr) return;
    // The dialog's own surface, then every item in template order.
    std::vector<ADMItem*> items;
    for (auto& item : dialog->items) items.push_back(item.get());
    for (ADMItem* item : items) {
        if (!IsLive(item) || !item->visible) continue;
        ADMDrawer itemDrawer;
        itemDrawer.dialog = dialog;
        itemDrawer.item = item;
        itemDrawer.bounds = item->bounds;
        DrawItem(item, &itemDrawer);
        if (drawer != nullptr) {
            for (auto& op : itemDrawer.operations) drawer->operations.push_back(op);
        }
    }
}

void DialogManager::DrawItem(ADMItemRef ref, ADMDrawer* drawer) {
    Operation operation(*this);
    ADMItem* item = LiveItem(ref);
    if (item == nullptr) return;
    if (item->drawProc != nullptr) {
        ADMItemDrawProc proc = item->drawProc;
        Call(item->dialog->plugin, [&] { proc(item, drawer); });
    }
    // The default drawing of an item happens on screen only; the snapshot
    // draws the item's state itself.
}

// --- items -------------------------------------------------------------------

std::unique_ptr<ADMItem> DialogManager::MakeItem(ADMDialog& dialog, ADMItem* parent, ASInt32 id,
                                                 ItemKind kind, const ADMRect& bounds) {
    auto item = std::make_unique<ADMItem>();
    item->manager = this;
    item->dialog = &dialog;
    item->parent = parent;
    item->id = id;
    item->kind = kind;
    item->bounds = bounds;
    if (kind == ItemKind::kListBox) {
        item->list = std::make_unique<ADMList>();
        item->list->item = item.get();
        live_.insert(item->list.get());
    }
    if (kind == ItemKind::kSpinEditPopup || kind == ItemKind::kTextEditPopup) {
        // The edit part of a compound popup item is its child 3.
        auto edit =
            MakeItem(dialog, item.get(), kADMCompoundEditChildID, ItemKind::kTextEdit, bounds);
        item->children.push_back(std::move(edit));
    }
    live_.insert(item.get());
    return item;
}

void DialogManager::BuildItems(ADMDialog& dialog, const DialogTemplate& tpl) {
    for (const TemplateItem& t : tpl.items) {
        ItemKind kind = KindOfTemplateItem(t);
        auto item = MakeItem(dialog, nullptr, t.id, kind, ToPixels(t.x, t.y, t.cx, t.cy));
        if (t.text.kind == TemplateName::Kind::kString)
            item->text = TemplateTextToNarrow(t.text.text);
        constexpr std::uint32_t kWsVisible = 0x10000000;
        constexpr std::uint32_t kWsDisabled = 0x08000000;
        item->visible = (t.style & kWsVisible) != 0;
        item->enabled = (t.style & kWsDisabled) == 0;
        if (item->list)
            item->list->multiSelect = (t.style & (kLbsMultipleSel | kLbsExtendedSel)) != 0;
        dialog.items.push_back(std::move(item));
    }
}

ADMItemRef DialogManager::CreateItem(ADMDialogRef ref, ASInt32 itemID, const char* itemType,
                                     const ADMRect* bounds, ADMItemInitProc initProc,
                                     ADMUserData userData) {
    Operation operation(*this);
    ADMDialog* dialog = LiveDialog(ref);
    ItemKind kind;
    if (dialog == nullptr || dialog->destroying || bounds == nullptr ||
        !ItemKindFromTypeName(itemType, &kind)) {
        Problem("item " + std::to_string(itemID) + " cannot be created");
        return nullptr;
    }
    auto owned = MakeItem(*dialog, nullptr, itemID, kind, *bounds);
    ADMItem* item = owned.get();
    item->userData = userData;
    dialog->items.push_back(std::move(owned));
    if (initProc != nullptr) {
        ASErr result = kNoErr;
        Call(dialog->plugin, [&] { result = initProc(item); });
        if (!IsLive(item)) return nullptr;
        if (result != kNoErr) {
            DestroyItem(item);
            return nullptr;
        }
    }
    return item;
}

void DialogManager::Forget(ADMItem& item) {
    for (auto& child : item.children) Forget(*child);
    if (item.list) {
        for (auto& entry : item.list->entries) live_.erase(entry.get());
        live_.erase(item.list.get());
    }
    live_.erase(&item);
}

void DialogManager::DestroyItem(ADMItemRef ref) {
    Operation operation(*this);
    ADMItem* item = LiveItem(ref);
    if (item == nullptr) {
        Problem("Destroy of an item the host does not hold");
        return;
    }
    if (item->destroying) {
        notes_.push_back("Destroy of item " + std::to_string(item->id) +
                         " while it is being destroyed");
        return;
    }
    item->destroying = true;
    if (item->destroyProc != nullptr) {
        ADMItemDestroyProc proc = item->destroyProc;
        Call(item->dialog->plugin, [&] { proc(item); });
    }
    for (;;) {
        auto it = std::find_if(item->children.begin(), item->children.end(),
                               [](const auto& c) { return !c->destroying; });
        if (it == item->children.end()) break;
        DestroyItem(it->get());
    }
    Forget(*item);
    // The dialog (or parent) may be gone from the host's lists already, when
    // a procedure destroyed it; it is buried, not freed, until this returns.
    auto& siblings = item->parent ? item->parent->children : item->dialog->items;
    auto it = std::find_if(siblings.begin(), siblings.end(),
                           [&](const auto& i) { return i.get() == item; });
    std::unique_ptr<ADMItem> owned = std::move(*it);
    siblings.erase(it);
    Bury(std::move(owned));
}

void DialogManager::Call(SPPluginRef plugin, const std::function<void()>& call) {
    Operation operation(*this);
    environment_.CallPlugin(plugin, call);
}

DialogManager::Operation::~Operation() {
    if (--m_.operationDepth_ > 0) return;
    m_.deadItems_.clear();
    m_.deadDialogs_.clear();
}

void DialogManager::DefaultNotifyItem(ADMItemRef ref, ADMNotifierRef notifier) {
    Operation operation(*this);
    ADMItem* item = LiveItem(ref);
    if (item == nullptr || notifier == nullptr) return;
    // An item's default handling passes the user's change on to its dialog.
    if (notifier->type != kADMUserChangedNotifier) return;
    ADMDialog* dialog = item->dialog;
    if (dialog->notifyProc != nullptr) {
        ADMDialogNotifyProc proc = dialog->notifyProc;
        Call(dialog->plugin, [&] { proc(dialog, notifier); });
    } else {
        DefaultNotifyDialog(dialog, notifier);
    }
}

void DialogManager::DefaultNotifyDialog(ADMDialogRef, ADMNotifierRef) {}

// --- lists ---------------------------------------------------------------------

ADMEntryRef DialogManager::InsertEntry(ADMListRef ref, ASInt32 index) {
    ADMList* list = LiveList(ref);
    if (list == nullptr || index < 0 || static_cast<std::size_t>(index) > list->entries.size()) {
        return nullptr;
    }
    auto entry = std::make_unique<ADMEntry>();
    entry->list = list;
    ADMEntry* raw = entry.get();
    list->entries.insert(list->entries.begin() + index, std::move(entry));
    live_.insert(raw);
    return raw;
}

void DialogManager::RemoveEntry(ADMListRef ref, ASInt32 index) {
    ADMList* list = LiveList(ref);
    if (list == nullptr || index < 0 || static_cast<std::size_t>(index) >= list->entries.size()) {
        Problem("RemoveEntry out of range");
        return;
    }
    if (refusesRemoval_) return;
    ADMEntry* entry = list->entries[index].get();
    if (list->active == entry) list->active = nullptr;
    live_.erase(entry);
    list->entries.erase(list->entries.begin() + index);
}

void DialogManager::SelectEntry(ADMEntryRef ref, bool select) {
    ADMEntry* entry = LiveEntry(ref);
    if (entry == nullptr) return;
    if (select && !entry->list->multiSelect) {
        for (auto& other : entry->list->entries) other->selected = false;
    }
    entry->selected = select;
}

void DialogManager::ActivateEntry(ADMEntryRef ref, bool activate) {
    ADMEntry* entry = LiveEntry(ref);
    if (entry == nullptr) return;
    ADMList* list = entry->list;
    if (activate) {
        list->active = entry;
        if (!list->multiSelect) SelectEntry(entry, true);
    } else if (list->active == entry) {
        list->active = nullptr;
    }
}

// --- icons ---------------------------------------------------------------------

ADMIconRef DialogManager::LoadIcon(SPPluginRef plugin, const char* name, ASInt32 iconID,
                                   ASInt32 iconIndex) {
    (void)name;  // icons are found by ID; a PNGI resource holds one image
    if (iconIndex != 0) return nullptr;
    auto bytes = environment_.FindResource(plugin, ResourceType::Named(kIconResourceType), iconID);
    if (!bytes) {
        Problem("no PNGI resource " + std::to_string(iconID));
        return nullptr;
    }
    std::string why;
    std::unique_ptr<ADMIcon> icon = DecodeIconPng(bytes->data(), bytes->size(), &why);
    if (!icon) {
        Problem("PNGI resource " + std::to_string(iconID) + " refused: " + why);
        return nullptr;
    }
    ADMIcon* raw = icon.get();
    icons_.push_back(std::move(icon));
    live_.insert(raw);
    return raw;
}

void DialogManager::DestroyIcon(ADMIconRef ref) {
    ADMIcon* icon = LiveIcon(ref);
    if (icon == nullptr) return;
    for (auto& dialog : dialogs_) {
        for (ADMIconRef& held : dialog->icons) {
            if (held == icon) held = nullptr;
        }
    }
    live_.erase(icon);
    icons_.erase(
        std::find_if(icons_.begin(), icons_.end(), [&](const auto& i) { return i.get() == icon; }));
}

// --- the user's part -------------------------------------------------------------

ADMDialog& DialogManager::RequireDialog(ADMDialogRef ref) const {
    ADMDialog* dialog = LiveDialog(ref);
    if (dialog == nullptr || dialog->destroying) throw ActionError("no such dialog");
    return *dialog;
}

ADMItem& DialogManager::RequireItem(ADMDialog& dialog, ASInt32 itemID) const {
    for (auto& item : dialog.items) {
        if (item->id == itemID) return *item;
    }
    throw ActionError("dialog \"" + dialog.name + "\" has no item " + std::to_string(itemID));
}

bool DialogManager::TrackItem(ADMItem& item) {
    ADMTracker tracker{item.dialog, &item};
    if (item.trackProc == nullptr) return true;  // the default accepts a click inside
    ASBoolean accepted = false;
    ADMItemTrackProc proc = item.trackProc;
    Call(item.dialog->plugin, [&] { accepted = proc(&item, &tracker); });
    return accepted != 0;
}

void DialogManager::NotifyUserChanged(ADMItem& item) {
    ADMNotifier notifier{kADMUserChangedNotifier, &item, item.dialog};
    if (item.notifyProc != nullptr) {
        ADMItemNotifyProc proc = item.notifyProc;
        Call(item.dialog->plugin, [&] { proc(&item, &notifier); });
    } else {
        DefaultNotifyItem(&item, &notifier);
    }
}

void DialogManager::PressButton(ADMDialogRef ref, ASInt32 itemID) {
    Operation operation(*this);
    ADMDialog& dialog = RequireDialog(ref);
    ADMItem& item = RequireItem(dialog, itemID);
    if (item.kind != ItemKind::kPushButton) {
        throw ActionError("item " + std::to_string(itemID) + " is not a button");
    }
    if (!item.enabled || !item.visible) {
        throw ActionError("button " + std::to_string(itemID) + " (\"" + item.text +
                          "\") is disabled");
    }
    if (!TrackItem(item) || !IsLive(&item)) return;
    NotifyUserChanged(item);
}

void DialogManager::PressButton(ADMDialogRef ref, const std::string& text) {
    Operation operation(*this);
    ADMDialog& dialog = RequireDialog(ref);
    for (auto& item : dialog.items) {
        if (item->kind == ItemKind::kPushButton && item->text == text) {
            PressButton(ref, item->id);
            return;
        }
    }
    throw ActionError("dialog \"" + dialog.name + "\" has no button \"" + text + "\"");
}

void DialogManager::SelectRows(ADMDialogRef ref, ASInt32 listItemID, const std::vector<int>& rows) {
    Operation operation(*this);
    ADMDialog& dialog = RequireDialog(ref);
    ADMItem& item = RequireItem(dialog, listItemID);
    if (!item.list) throw ActionError("item " + std::to_string(listItemID) + " is not a list");
    if (!item.enabled) throw ActionError("list " + std::to_string(listItemID) + " is disabled");
    ADMList& list = *item.list;
    if (!list.multiSelect && rows.size() > 1) {
        throw ActionError("list " + std::to_string(listItemID) + " takes one selected row");
    }
    for (int row : rows) {
        if (row < 0 || static_cast<std::size_t>(row) >= list.entries.size()) {
            throw ActionError("list " + std::to_string(listItemID) + " has no row " +
                              std::to_string(row));
        }
        if (!list.entries[row]->enabled) {
            throw ActionError("row " + std::to_string(row) + " is disabled");
        }
    }
    if (!TrackItem(item) || !IsLive(&item)) return;
    for (auto& entry : list.entries) entry->selected = false;
    for (int row : rows) list.entries[row]->selected = true;
    if (!rows.empty()) {
        list.active = list.entries[rows.back()].get();
    } else if (!keepsActiveEntry_) {
        list.active = nullptr;
    }
    NotifyUserChanged(item);
}

bool DialogManager::ClickDialog(ADMDialogRef ref) {
    Operation operation(*this);
    ADMDialog& dialog = RequireDialog(ref);
    if (dialog.trackProc == nullptr) return false;
    ADMTracker tracker{&dialog, nullptr};
    ASBoolean result = false;
    ADMDialogTrackProc proc = dialog.trackProc;
    Call(dialog.plugin, [&] { result = proc(&dialog, &tracker); });
    return result != 0;
}

void DialogManager::ClosePalette(ADMDialogRef ref) {
    Operation operation(*this);
    ADMDialog& dialog = RequireDialog(ref);
    ADMNotifier notifier{kADMCloseHitNotifier, nullptr, &dialog};
    if (dialog.notifyProc != nullptr) {
        ADMDialogNotifyProc proc = dialog.notifyProc;
        Call(dialog.plugin, [&] { proc(&dialog, &notifier); });
    }
    if (IsLive(&dialog)) dialog.visible = false;
}

bool DialogManager::TextToFloat(ADMItemRef ref, const char* text, float* value) {
    Operation operation(*this);
    ADMItem* item = LiveItem(ref);
    if (item == nullptr || text == nullptr || value == nullptr) return false;
    if (item->textToFloatProc != nullptr) {
        ASBoolean ok = false;
        ADMItemTextToFloatProc proc = item->textToFloatProc;
        Call(item->dialog->plugin, [&] { ok = proc(item, text, value); });
        return ok != 0;
    }
    char* end = nullptr;
    float v = std::strtof(text, &end);
    if (end == text) return false;
    while (*end == ' ') ++end;
    if (*end != '\0') return false;
    *value = v;
    return true;
}

bool DialogManager::FloatToText(ADMItemRef ref, float value, char* text, ASInt32 length) {
    Operation operation(*this);
    ADMItem* item = LiveItem(ref);
    if (item == nullptr || text == nullptr || length <= 0) return false;
    if (item->floatToTextProc != nullptr) {
        ASBoolean ok = false;
        ADMItemFloatToTextProc proc = item->floatToTextProc;
        Call(item->dialog->plugin, [&] { ok = proc(item, value, text, length); });
        return ok != 0;
    }
    int n = std::snprintf(text, static_cast<std::size_t>(length), "%g", static_cast<double>(value));
    return n >= 0 && n < length;
}

// --- looking at dialogs ------------------------------------------------------------

std::vector<ADMDialogRef> DialogManager::Dialogs() const {
    std::vector<ADMDialogRef> out;
    for (auto& d : dialogs_) out.push_back(d.get());
    return out;
}

ADMDialogRef DialogManager::FindDialog(const std::string& name) const {
    for (auto& d : dialogs_) {
        if (d->name == name && !d->destroying) return d.get();
    }
    return nullptr;
}

std::string DialogManager::Render(ADMDialogRef ref) const {
    const ADMDialog& dialog = RequireDialog(ref);
    std::ostringstream out;
    out << "dialog " << Quoted(dialog.name) << " " << dialog.id << " "
        << (dialog.visible ? "visible" : "hidden") << "\n";
    const ADMItem* status = nullptr;
    for (auto& item : dialog.items) {
        out << "  " << KindLabel(item->kind) << " " << item->id;
        if (item->kind != ItemKind::kListBox) out << " " << Quoted(item->text);
        out << (item->enabled ? " enabled" : " disabled");
        if (!item->visible) out << " hidden";
        out << "\n";
        if (item->list) {
            for (auto& entry : item->list->entries) {
                out << "    " << (entry->selected ? "[x] " : "[ ] ") << Quoted(entry->text)
                    << (entry.get() == item->list->active ? " active" : "")
                    << (entry->enabled ? "" : " disabled") << "\n";
            }
        }
        if (item->kind == ItemKind::kStatic) status = item.get();
    }
    // A palette's status line is its last static text.
    if (status != nullptr) out << "status " << Quoted(status->text) << "\n";
    return out.str();
}

}  // namespace host::adm

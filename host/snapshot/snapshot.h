// Pictures of dialogs: a dialog drawn into a PNG at its template's geometry,
// for tests and the command line (with cairo, snapshot_cairo.cpp; refused
// where it is not built, snapshot_unavailable.cpp).
#pragma once

#include <stdexcept>
#include <string>

#include "host/adm/dialog_commands.h"
#include "host/adm/dialog_manager.h"

namespace host::snapshot {

// Height of the title bar above the dialog's client area; it holds the
// dialog's icon 0 and its caption.
constexpr int kTitleBarHeight = 26;
constexpr int kListRowHeight = 16;

// Colours, 0xRRGGBB.
constexpr unsigned kFaceColor = 0xF0F0F0;
constexpr unsigned kTitleColor = 0x2B4F81;
constexpr unsigned kListColor = 0xFFFFFF;
constexpr unsigned kSelectionColor = 0x3399FF;
constexpr unsigned kButtonColor = 0xE1E1E1;
constexpr unsigned kTextColor = 0x000000;
constexpr unsigned kDisabledTextColor = 0xA0A0A0;

class SnapshotError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Calls the dialog's draw procedure as a host does when it paints, then
// writes the picture: width the dialog's, height the dialog's plus the
// title bar. Throws SnapshotError (unknown dialog, file not writable).
void WriteSnapshot(adm::DialogManager& manager, ADMDialogRef dialog, const std::string& pngPath);

// "snapshot NAME FILE" for the command line, beside adm::DialogCommands().
const adm::DialogCommand& SnapshotCommand();

}  // namespace host::snapshot

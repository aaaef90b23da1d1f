// "snapshot NAME FILE" for any dialog, over WriteSnapshot of this platform.
#include <ostream>

#include "host/snapshot/snapshot.h"

namespace host::snapshot {

const adm::DialogCommand& SnapshotCommand() {
    static const adm::DialogCommand command = {
        "snapshot", "NAME FILE", "draw a dialog into a PNG file", 2,
        [](adm::DialogManager& m, std::ostream& out, const std::vector<std::string>& a) {
            ADMDialogRef d = m.FindDialog(a[0]);
            if (d == nullptr) {
                out << "no dialog named \"" << a[0] << "\"\n";
                return false;
            }
            try {
                WriteSnapshot(m, d, a[1]);
            } catch (const SnapshotError& e) {
                out << e.what() << "\n";
                return false;
            }
            out << "wrote " << a[1] << "\n";
            return true;
        }};
    return command;
}

}  // namespace host::snapshot

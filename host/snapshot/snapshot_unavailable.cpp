// This edition draws no pictures: the library the POSIX edition draws with is
// not built for Windows here.
#include "host/snapshot/snapshot.h"

namespace host::snapshot {

void WriteSnapshot(adm::DialogManager& manager, ADMDialogRef ref, const std::string&) {
    if (manager.LiveDialog(ref) == nullptr)
        throw SnapshotError("snapshot of a dialog the host does not hold");
    throw SnapshotError("pictures of dialogs are not drawn in this edition");
}

}  // namespace host::snapshot

#include "process_memory.h"

#include <unistd.h>

#include <fstream>

namespace endurance {

long ResidentKiB() {
    // statm: total and resident size, in pages.
    std::ifstream statm("/proc/self/statm");
    long total = 0, resident = 0;
    if (!(statm >> total >> resident)) return -1;
    const long page = sysconf(_SC_PAGESIZE);
    return page > 0 ? resident * (page / 1024) : -1;
}

}  // namespace endurance

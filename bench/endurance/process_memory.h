// The process's own view of its memory, for the endurance run.
#pragma once

namespace endurance {

// The resident set in KiB, or -1 when the system does not say.
long ResidentKiB();

}  // namespace endurance

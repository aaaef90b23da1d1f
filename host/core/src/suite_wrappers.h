// What a plug-in holds when it acquires a suite: a copy of the host's table whose every
// function first passes the host's fault plan, so that any call can be counted and
// failed without the suites' own code knowing.
#pragma once

#include <string>

#include "host/fault_plan.h"
#include "hostapi/types.h"

namespace host::detail {

// The table to hand out for `table`, the host's own for (name, version); the table
// itself for a suite the host has no wrapper for.
const void* WrapSuiteTable(const std::string& name, ASInt32 version, const void* table);

}  // namespace host::detail

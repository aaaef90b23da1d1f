// Each of the host's suites registers its function table here; Host registers them all.
#pragma once

#include "host/suite_registry.h"
#include "hostapi/sp_basic.h"

namespace host::detail {

SPBasicSuite* BasicSuiteTable();

void RegisterBasicSuite(SuiteRegistry& registry);
void RegisterAccessSuite(SuiteRegistry& registry);
void RegisterPluginsSuite(SuiteRegistry& registry);
void RegisterNotifierSuite(SuiteRegistry& registry);
void RegisterContextSuite(SuiteRegistry& registry);
void RegisterADMBasicSuites(SuiteRegistry& registry);
void RegisterMenuSuite(SuiteRegistry& registry);
void RegisterUnicodeStringSuite(SuiteRegistry& registry);
// Every other suite of the interface, with functions that answer kNotImplementedErr
// (or null, 0, nothing) until a real table replaces them.
void RegisterPlaceholderSuites(SuiteRegistry& registry);

}  // namespace host::detail

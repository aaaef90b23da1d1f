// Export macros of the emulated Windows surface (libplatform.so).
#pragma once

#ifdef __cplusplus
#define EXTERN_C extern "C"
#define PLATFORM_BEGIN_C extern "C" {
#define PLATFORM_END_C }
#else
#define EXTERN_C extern
#define PLATFORM_BEGIN_C
#define PLATFORM_END_C
#endif

// Everything the library exports is C or a COM interface: no C++ standard-library
// type crosses the boundary, so modules with their own static runtime can call it.
#define PLATFORM_API __attribute__((visibility("default")))

// IGlyvor's description for clients that ask the object (GetTypeInfo): the
// interface of the type library that registration recorded.
#pragma once

#include "platform/win32.h"

namespace glyvor {

// A new reference to IGlyvor's type information, or a failure when no type
// library is registered (always so in the emulation, which has none).
HRESULT LoadGlyvorTypeInfo(ITypeInfo** info);
// 1 when LoadGlyvorTypeInfo would give it, else 0.
UINT GlyvorTypeInfoCount();

}  // namespace glyvor

#include "type_info.h"

namespace glyvor {

// The emulated COM keeps no type libraries: the registration writes none.
HRESULT LoadGlyvorTypeInfo(ITypeInfo** info) {
    *info = nullptr;
    return TYPE_E_LIBNOTREGISTERED;
}

UINT GlyvorTypeInfoCount() { return 0; }

}  // namespace glyvor

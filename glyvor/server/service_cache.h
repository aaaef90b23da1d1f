// The font service each new object is given: the catalogue named by the
// machine's registration, read once and shared by the objects made from it. A
// newer file (re-indexed) is read again for the next object.
#pragma once

#include <memory>
#include <string>

#include "glyvor/font_service.h"
#include "platform/win32.h"

namespace glyvor {

// E_FAIL when the catalogue is missing or unreadable.
HRESULT ServiceForNewObject(const std::string& machine,
                            std::shared_ptr<const FontService>* service);

// What a class factory's CreateInstance answers: a new automation object for the
// machine, queried for `riid` into `object` (null on failure). No aggregation.
HRESULT CreateDocumentObject(const std::string& machine, IUnknown* outer, REFIID riid,
                             void** object);

}  // namespace glyvor

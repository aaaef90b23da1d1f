// The work behind the panel's Find command: asks the font manager for a match for every
// missing font and rebuilds the list of available fonts from the answers.
#pragma once

#include "fonts/FontLists.h"

class GlyvorConnection;

// Empties `available` first, whatever follows. False when there is no usable
// connection; true otherwise, matched or not. Keeps the order of `missing`. A COM error
// of a call passes through, with the records appended before it kept. `whole`, when
// given, tells whether every match got its record.
bool FindAvailableFonts(GlyvorConnection* connection, const FontItemList& missing,
                        AvailableItemList& available, bool* whole = nullptr);

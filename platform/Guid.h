#pragma once
// Random identifiers in the 38-character registry form "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}".

#include "platform/AnsiString.h"

namespace cibrano {

// A new random (version 4) GUID as upper-case registry text, 38 characters.
AnsiString newGuidText();

} // namespace cibrano

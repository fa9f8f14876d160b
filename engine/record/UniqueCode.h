#pragma once
// The eight-character code given to a new record's text field whose default asks for a unique
// code: hours since 2000-11-01, the second of the hour, and the hundredths of the second mixed
// with a process-wide sequence number, all in base-62 digits.

#include "platform/AnsiString.h"

namespace cibrano {

AnsiString makeUniqueCode();

// Makes the next makeUniqueCode start its sequence afresh from the current time, as the
// first call of a run does.
void restartUniqueCodeSequence();

} // namespace cibrano

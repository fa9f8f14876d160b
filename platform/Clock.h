#pragma once
// The clock: local date and time, and a millisecond tick count. Tests can fix the date and time.

#include "platform/DateTime.h"

#include <cstdint>
#include <functional>

namespace cibrano {

TDateTime now();
uint64_t tickCount();

// Replaces the source of now() (an empty function restores the real clock).
void setClockForTesting(std::function<TDateTime()> source);

} // namespace cibrano

#pragma once
// The message of the EDatabaseError an action raises, so that a test compares texts in one line.

#include "platform/DatabaseError.h"

#include <functional>
#include <string>

namespace cibrano::testkit {

// "(no error)" when the action raises nothing.
inline std::string messageOf(const std::function<void()>& action) {
    try {
        action();
    } catch (const EDatabaseError& e) {
        return e.message();
    }
    return "(no error)";
}

} // namespace cibrano::testkit

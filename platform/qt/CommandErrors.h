#pragma once
// Running a command of the user's from a Qt handler. Qt lets no exception through its event
// loop, so every handler of a window runs its work through here: an error it raises goes to
// the error box (reportError; an EAbort shows nothing) and the handler returns normally.

#include "platform/UiServices.h"

#include <exception>

namespace cibrano {

// Runs `work`; false when it raised, after the error was reported.
template <typename Work> bool runReportingErrors(Work&& work) {
    try {
        work();
        return true;
    } catch (const std::exception& e) {
        reportError(e);
        return false;
    }
}

} // namespace cibrano

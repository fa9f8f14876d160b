#pragma once
// Undoing a temporary change (a state, a flag) whether or not the work in between succeeds.

namespace cibrano {

// Runs `body`, then `last` also when `body` raises; the error then goes on.
template <typename Body, typename Last> void runThenAlways(Body body, Last last) {
    try {
        body();
    } catch (...) {
        last();
        throw;
    }
    last();
}

} // namespace cibrano

#pragma once
// The silent abort: an operation that decides to stop without telling the user raises EAbort.
// It carries no message; whoever reports errors to the user lets it pass without a box.

#include <exception>

namespace cibrano {

class EAbort : public std::exception {
public:
    const char* what() const noexcept override { return "Operation aborted"; }
};

[[noreturn]] inline void abortSilently() {
    throw EAbort();
}

} // namespace cibrano

#pragma once
// A failure the command-line tool reports as one line on the standard error stream.

#include <stdexcept>
#include <string>

namespace cibrano::tool {

class ToolError : public std::runtime_error {
public:
    explicit ToolError(const std::string& message) : std::runtime_error(message) {}
};

// A command line the tool does not understand (answered with the usage hint).
class UsageError : public ToolError {
public:
    using ToolError::ToolError;
};

} // namespace cibrano::tool

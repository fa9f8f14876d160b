#pragma once
// printf-style filling of message templates ("%s", "%d", "%g"), taking AnsiString arguments
// directly. Message tables keep their texts with these placeholders.

#include "platform/AnsiString.h"

#include <cstdio>
#include <string>
#include <type_traits>

namespace cibrano {

namespace detail {
template <typename T> decltype(auto) formatArg(const T& v) {
    if constexpr (std::is_same_v<T, std::string>)
        return v.c_str();
    else
        return v;
}
} // namespace detail

template <typename... Args> AnsiString formatText(const char* pattern, const Args&... args) {
    int n = std::snprintf(nullptr, 0, pattern, detail::formatArg(args)...);
    if (n <= 0)
        return AnsiString();
    std::string out(static_cast<size_t>(n) + 1, '\0');
    std::snprintf(out.data(), out.size(), pattern, detail::formatArg(args)...);
    out.resize(static_cast<size_t>(n));
    return out;
}

} // namespace cibrano

#pragma once
// The one kind of error the dataset framework and the table engine raise.

#include "platform/AnsiString.h"

#include <exception>
#include <string_view>

namespace cibrano {

class TComponent;

class EDatabaseError : public std::exception {
public:
    explicit EDatabaseError(AnsiString message) : message_(std::move(message)) {}
    const char* what() const noexcept override { return message_.c_str(); }
    const AnsiString& message() const { return message_; }

private:
    AnsiString message_;
};

// The text of an error raised by a component: "Name: text" when the component has a name,
// the bare text otherwise.
AnsiString componentMessage(const AnsiString& text, const TComponent* component);
// The text of such a message again, for a caller that names what failed itself.
std::string_view withoutComponentName(std::string_view message, const TComponent* component);

[[noreturn]] void databaseError(const AnsiString& text, const TComponent* component = nullptr);

} // namespace cibrano

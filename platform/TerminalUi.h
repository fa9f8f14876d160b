#pragma once
// A UiServices for command-line tools: messages on the standard error stream, the password
// read from the terminal without echo (cancelled when there is no terminal).

#include "platform/UiServices.h"

namespace cibrano {

class TerminalUi : public UiServices {
public:
    void showWarning(const AnsiString& caption, const AnsiString& text) override;
    bool askPassword(AnsiString& password) override;
    void showError(const AnsiString& caption, const AnsiString& text) override;
};

} // namespace cibrano

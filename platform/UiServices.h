#pragma once
// What the engine, the framework and the program may ask of the user: a warning box, the
// password prompt, the error box and a yes/no question. The program installs the windowed
// implementation, command-line tools the terminal one, tests a scripted one. Without any installed,
// warnings and errors go to the standard error stream and every password prompt is cancelled.

#include "platform/AnsiString.h"

#include <exception>

namespace cibrano {

class UiServices {
public:
    virtual ~UiServices() = default;
    // A warning message box captioned `caption`.
    virtual void showWarning(const AnsiString& caption, const AnsiString& text) = 0;
    // The "Login password" dialog, pre-filled with `password`; true when confirmed, with the
    // typed text in `password`.
    virtual bool askPassword(AnsiString& password) = 0;
    // The error message box for an error that escaped an event handler.
    virtual void showError(const AnsiString& caption, const AnsiString& text) = 0;
    // A question answered Yes or No; true for Yes. "No" is the default button unless
    // `yesIsDefault` (a question before a change that cannot be taken back keeps No, so that a
    // stray key changes nothing). Without someone to ask, the default answer.
    virtual bool askYesNo(const AnsiString& caption, const AnsiString& text, bool yesIsDefault) {
        (void)caption;
        (void)text;
        return yesIsDefault;
    }
};

UiServices& uiServices();
// Installs `services` (not owned); none restores the default.
void setUiServices(UiServices* services);

const AnsiString& applicationTitle();
void setApplicationTitle(const AnsiString& title);

// The text an error box shows for an error message: a full stop is appended when the last
// character's code is above that of ".".
AnsiString errorBoxText(const AnsiString& message);

// Asks the question captioned with the application title; true for Yes.
bool askYesNo(const AnsiString& text, bool yesIsDefault = false);

// Shows an error that escaped an event handler: the error box captioned with the application
// title, with errorBoxText of the error's message. An EAbort shows nothing.
void reportError(const std::exception& error);

} // namespace cibrano

#pragma once
// The windowed UI services the program installs: the error box, the warning box, the
// "Login password" dialog and the yes/no question box, all modal over the active window.

#include "platform/UiServices.h"

class QWidget;

namespace cibrano {

class QtUiServices : public UiServices {
public:
    void showWarning(const AnsiString& caption, const AnsiString& text) override;
    bool askPassword(AnsiString& password) override;
    void showError(const AnsiString& caption, const AnsiString& text) override;
    bool askYesNo(const AnsiString& caption, const AnsiString& text, bool yesIsDefault) override;

private:
    static QWidget* dialogParent();
};

} // namespace cibrano

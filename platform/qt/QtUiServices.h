#pragma once
// The windowed UI services the program installs: the error box, the warning box and the
// "Login password" dialog, all modal over the active window.

#include "platform/UiServices.h"

class QWidget;

namespace cibrano {

class QtUiServices : public UiServices {
public:
    void showWarning(const AnsiString& caption, const AnsiString& text) override;
    bool askPassword(AnsiString& password) override;
    void showError(const AnsiString& caption, const AnsiString& text) override;

private:
    static QWidget* dialogParent();
};

} // namespace cibrano

#include "platform/UiServices.h"

#include "platform/Abort.h"

#include <cstdio>

namespace cibrano {

namespace {

class QuietUi : public UiServices {
public:
    void showWarning(const AnsiString& caption, const AnsiString& text) override {
        std::fprintf(stderr, "%s: warning: %s\n", caption.c_str(), ansiToUtf8(text).c_str());
    }
    bool askPassword(AnsiString&) override { return false; }
    void showError(const AnsiString& caption, const AnsiString& text) override {
        std::fprintf(stderr, "%s: error: %s\n", caption.c_str(), ansiToUtf8(text).c_str());
    }
};

UiServices*& installed() {
    static UiServices* services = nullptr;
    return services;
}

AnsiString& title() {
    static AnsiString t = "Cibrano";
    return t;
}

} // namespace

UiServices& uiServices() {
    static QuietUi quiet;
    return installed() ? *installed() : quiet;
}

void setUiServices(UiServices* services) {
    installed() = services;
}

const AnsiString& applicationTitle() {
    return title();
}

void setApplicationTitle(const AnsiString& t) {
    title() = t;
}

AnsiString errorBoxText(const AnsiString& message) {
    if (!message.empty() && static_cast<unsigned char>(message.back()) > '.')
        return message + ".";
    return message;
}

void reportError(const std::exception& error) {
    // An abort is the silent error: it undoes the work in progress and shows nothing.
    if (dynamic_cast<const EAbort*>(&error))
        return;
    uiServices().showError(applicationTitle(), errorBoxText(AnsiString(error.what())));
}

bool askYesNo(const AnsiString& text, bool yesIsDefault) {
    return uiServices().askYesNo(applicationTitle(), text, yesIsDefault);
}

} // namespace cibrano

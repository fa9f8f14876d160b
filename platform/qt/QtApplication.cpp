#include "platform/qt/QtApplication.h"

#include "platform/UiServices.h"
#include "platform/qt/QtFonts.h"
#include "platform/qt/QtRegionalSettings.h"
#include "platform/qt/QtText.h"
#include "platform/qt/QtTimer.h"
#include "platform/qt/QtTranslations.h"
#include "platform/qt/QtUiServices.h"

#include <exception>
#include <stdexcept>

namespace cibrano {

TApplication::TApplication(int& argc, char** argv, const QString& title, const QLocale& language)
    : QApplication(argc, argv), ui_(std::make_unique<QtUiServices>()) {
    setApplicationName(title);
    setApplicationTitle(fromQt(title).value_or("Cibrano"));
    setUiServices(ui_.get());
    installQtTimerFactory();
    installSystemRegionalSettings();
    installFontSubstitutes();
    if (!installQtTranslations(language))
        qWarning("Qt's translations for %s are not installed: its dialogs stay in English",
                 qPrintable(language.name()));
}

TApplication::~TApplication() {
    setUiServices(nullptr);
    setTimerFactory(nullptr);
}

int TApplication::run() {
    return exec();
}

bool TApplication::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& e) {
        reportError(e);
    } catch (...) {
        reportError(std::runtime_error("Unexpected error"));
    }
    return false;
}

} // namespace cibrano

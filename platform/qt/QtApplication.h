#pragma once
// The application object: Qt's QApplication titled with the program's title, with the windowed
// UI services, the Qt timers, the fonts, the user's regional settings and Qt's own texts in the
// program's language in place, and a message loop that shows every error escaping an event
// handler in the error box and goes on.

#include <QApplication>
#include <QLocale>

#include <memory>

namespace cibrano {

class QtUiServices;

class TApplication : public QApplication {
    Q_OBJECT
public:
    // Sets the title (also the caption of the program's message boxes) and installs the
    // services below; they are taken back when the object goes. Qt's own dialogs (the question
    // box's buttons, the file and print dialogs) speak `language`, whatever the user's locale,
    // before any window opens (the password prompt included).
    TApplication(int& argc, char** argv, const QString& title, const QLocale& language);
    ~TApplication() override;

    // Runs the message loop until the main window closes.
    int run();

    // An error that reaches the loop is reported, not allowed to end the program.
    bool notify(QObject* receiver, QEvent* event) override;

private:
    std::unique_ptr<QtUiServices> ui_;
};

} // namespace cibrano

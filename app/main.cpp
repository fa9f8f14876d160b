// Cibrano: the nutritional totals of a recipe. Start-up: the application object titled
// "Cibrano" (with the windowed error, warning and password boxes, the Qt timers, the user's
// regional settings, and Qt's own dialogs in Italian like the program's texts), the main
// window, whose creation opens the food table "alimenti.d" of the working folder, then the
// information dialog, hidden; then the message loop until the main window closes.

#include "app/AppResources.h"
#include "app/InfoDialog.h"
#include "app/alimenti.h"
#include "platform/qt/QtApplication.h"

#include <QIcon>

int main(int argc, char** argv) {
    cibrano::TApplication app(argc, argv, "Cibrano", QLocale(QLocale::Italian, QLocale::Italy));
    cibrano::loadAppResources();
    app.setWindowIcon(QIcon(":/cibrano/cibrano-32.png"));
    // The desktop entry installed with the program, for the task bar's icon and name.
    app.setDesktopFileName("cibrano");
    cibrano::TForm1 form1;
    cibrano::TfrmInfo frmInfo(&form1);
    form1.setInfoDialog(&frmInfo);
    form1.show();
    return app.run();
}

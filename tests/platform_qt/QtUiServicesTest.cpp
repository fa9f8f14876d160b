#include "platform/qt/QtUiServices.h"
#include "platform/qt/AnsiValidator.h"
#include "platform/qt/PasswordDialog.h"

#include "ModalHelper.h"
#include "platform/RegionalSettings.h"

#include <QAbstractButton>
#include <QLineEdit>
#include <QMessageBox>
#include <QTest>
#include <gtest/gtest.h>
#include <stdexcept>

using namespace cibrano;

namespace {

struct SeenBox {
    QString title, text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
};

// Closes the next message box with its default button and tells what it showed.
void readNextBox(SeenBox& seen) {
    testkit::whenModalShows([&seen](QWidget* modal) {
        auto* box = qobject_cast<QMessageBox*>(modal);
        ASSERT_NE(box, nullptr);
        seen = {box->windowTitle(), box->text(), box->icon()};
        QTest::keyClick(box, Qt::Key_Return);
    });
}

// An object whose event handler lets an error escape.
class Throwing : public QObject {
public:
    bool event(QEvent* e) override {
        if (e->type() == QEvent::User)
            throw std::runtime_error("Field 'Quantita' must have a value");
        return QObject::event(e);
    }
};

} // namespace

TEST(QtUiServices, TheApplicationInstallsThemAndTheTitleCaptionsTheErrorBox) {
    ASSERT_NE(dynamic_cast<QtUiServices*>(&uiServices()), nullptr);
    EXPECT_EQ(applicationTitle(), "Cibrano");
    SeenBox seen;
    readNextBox(seen);
    reportError(std::runtime_error("Error opening file /tmp/alimenti.d"));
    EXPECT_EQ(seen.title, "Cibrano");
    EXPECT_EQ(seen.text, "Error opening file /tmp/alimenti.d."); // full stop appended
    EXPECT_EQ(seen.icon, QMessageBox::Critical);
}

TEST(QtUiServices, AnErrorEscapingAnEventHandlerIsShownAndTheLoopGoesOn) {
    Throwing target;
    SeenBox seen;
    readNextBox(seen);
    QCoreApplication::postEvent(&target, new QEvent(QEvent::User));
    EXPECT_TRUE(QTest::qWaitFor([&] { return !seen.text.isEmpty(); }, 3000));
    EXPECT_EQ(seen.text, "Field 'Quantita' must have a value.");
    EXPECT_EQ(seen.icon, QMessageBox::Critical);
}

TEST(QtUiServices, WarningBoxCarriesItsCaptionTextAndIcon) {
    SeenBox seen;
    readNextBox(seen);
    uiServices().showWarning("Cibrano", "Password is invalid. Try again");
    EXPECT_EQ(seen.title, "Cibrano");
    EXPECT_EQ(seen.text, "Password is invalid. Try again");
    EXPECT_EQ(seen.icon, QMessageBox::Warning);
}

TEST(QtUiServices, PasswordPromptIsTheLoginDialog) {
    testkit::whenModalShows([](QWidget* modal) {
        auto* d = qobject_cast<TPasswordDialog*>(modal);
        ASSERT_NE(d, nullptr);
        EXPECT_EQ(d->edit()->text(), "FIRST");
        QTest::keyClicks(d->edit(), "QUARZO");
        QTest::keyClick(d->edit(), Qt::Key_Enter);
    });
    AnsiString pw = "FIRST";
    EXPECT_TRUE(uiServices().askPassword(pw));
    EXPECT_EQ(pw, "QUARZO");
}

TEST(AnsiValidator, AcceptsWindows1252AndRefusesTheRest) {
    AnsiValidator v;
    int pos = 0;
    QString ok = QString::fromUtf8("Caff\u00E8 \u20AC 5");
    QString bad = QString::fromUtf8("\u4E2D");
    EXPECT_EQ(v.validate(ok, pos), QValidator::Acceptable);
    EXPECT_EQ(v.validate(bad, pos), QValidator::Invalid);
}

TEST(TApplication, StartsWithTheRegionalSettingsOfTheSystemLocale) {
    const QLocale system = QLocale::system();
    EXPECT_EQ(QString(QChar(regional().decimalSeparator)), system.decimalPoint());
}

TEST(QtUiServices, AQuestionHasNoForItsDefaultAndYesMustBeChosen) {
    SeenBox seen;
    readNextBox(seen);
    EXPECT_FALSE(askYesNo("Azzerare le quantit\xE0 di 5 alimenti?"));
    EXPECT_EQ(seen.title, "Cibrano");
    EXPECT_EQ(seen.text, QString::fromUtf8("Azzerare le quantità di 5 alimenti?"));
    EXPECT_EQ(seen.icon, QMessageBox::Question);
    testkit::whenModalShows([](QWidget* modal) {
        auto* box = qobject_cast<QMessageBox*>(modal);
        ASSERT_NE(box, nullptr);
        box->button(QMessageBox::Yes)->click();
    });
    EXPECT_TRUE(askYesNo("Eliminare la ricetta \"Pasta\"?"));
}

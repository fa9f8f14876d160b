#include "platform/qt/PasswordDialog.h"

#include "ModalHelper.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

using namespace cibrano;

TEST(PasswordDialog, LaysOutItsControlsAsStored) {
    TPasswordDialog d;
    d.show();
    EXPECT_EQ(d.windowTitle(), "Login password");
    EXPECT_EQ(d.size(), QSize(205, 116));
    EXPECT_EQ(d.minimumSize(), d.maximumSize()); // not resizable
    EXPECT_EQ(d.label()->text(), "Enter password:");
    EXPECT_EQ(d.label()->geometry(), QRect(18, 7, 170, 28));
    EXPECT_TRUE(d.label()->wordWrap());
    EXPECT_EQ(d.edit()->geometry().topLeft(), QPoint(18, 45));
    EXPECT_EQ(d.edit()->width(), 170);
    EXPECT_EQ(d.edit()->maxLength(), 255);
    EXPECT_EQ(d.okButton()->text(), "OK");
    EXPECT_EQ(d.okButton()->geometry(), QRect(18, 77, 75, 25));
    EXPECT_TRUE(d.okButton()->isDefault());
    EXPECT_EQ(d.cancelButton()->text(), "Cancel");
    EXPECT_EQ(d.cancelButton()->geometry(), QRect(113, 77, 75, 25));
}

TEST(PasswordDialog, MasksEveryCharacterWithAStar) {
    TPasswordDialog d;
    d.setPassword("segreto");
    EXPECT_EQ(d.edit()->displayText(), QString(7, '*'));
    EXPECT_EQ(d.password(), "segreto");
}

TEST(PasswordDialog, OkReturnsTheTypedTextReplacingTheSelectedPrefill) {
    AnsiString pw = "OLD";
    testkit::whenModalShows([](QWidget* modal) {
        auto* d = qobject_cast<TPasswordDialog*>(modal);
        ASSERT_NE(d, nullptr);
        // The window's focus widget: whether the window itself is active yet is up to the
        // window system, and comes late on a loaded machine.
        EXPECT_EQ(d->focusWidget(), d->edit());
        EXPECT_EQ(d->edit()->selectedText(), "OLD");
        testkit::typeText(d->edit(), QString::fromUtf8("citt\u00E0"));
        QTest::keyClick(d->edit(), Qt::Key_Return); // the default button
    });
    ASSERT_TRUE(TPasswordDialog::ask(pw));
    EXPECT_EQ(pw, "citt\xE0");
}

TEST(PasswordDialog, CancelAndEscapeLeaveThePasswordAlone) {
    AnsiString pw = "KEEP";
    testkit::whenModalShows([](QWidget* modal) {
        auto* d = static_cast<TPasswordDialog*>(modal);
        QTest::keyClicks(d->edit(), "other");
        QTest::mouseClick(d->cancelButton(), Qt::LeftButton);
    });
    EXPECT_FALSE(TPasswordDialog::ask(pw));
    EXPECT_EQ(pw, "KEEP");

    testkit::whenModalShows([](QWidget* modal) {
        QTest::keyClick(static_cast<TPasswordDialog*>(modal)->edit(), Qt::Key_Escape);
    });
    EXPECT_FALSE(TPasswordDialog::ask(pw));
    EXPECT_EQ(pw, "KEEP");
}

TEST(PasswordDialog, RefusesCharactersThe8BitTextCannotHold) {
    TPasswordDialog d;
    d.show();
    d.edit()->setFocus();
    testkit::typeText(d.edit(), QString::fromUtf8("a\u03A9b\u20AC")); // Omega refused, euro kept
    EXPECT_EQ(d.edit()->text(), QString::fromUtf8("ab\u20AC"));
    EXPECT_EQ(d.password(), "ab\x80");
}

TEST(PasswordDialog, HoldsAtMost255Characters) {
    TPasswordDialog d;
    d.show();
    d.edit()->setFocus();
    QTest::keyClicks(d.edit(), QString(300, 'x'));
    EXPECT_EQ(d.password().size(), 255u);
}

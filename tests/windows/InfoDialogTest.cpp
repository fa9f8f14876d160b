#include "app/InfoDialog.h"

#include "tests/windows/WindowTestSupport.h"

#include "platform/qt/Bevel.h"
#include "platform/qt/Panel.h"

#include <QPushButton>
#include <filesystem>

namespace cibrano::testing {
namespace {

TEST(InfoDialog, LaysOutTheProductAndTheMaker) {
    TfrmInfo d;
    d.show();
    EXPECT_EQ(d.windowTitle(), "Informazioni");
    EXPECT_EQ(d.size(), QSize(295, 183));
    EXPECT_EQ(d.minimumSize(), d.maximumSize()); // not resizable
    EXPECT_FALSE(d.windowFlags() & Qt::WindowMinimizeButtonHint);
    EXPECT_FALSE(d.windowFlags() & Qt::WindowMaximizeButtonHint);
    EXPECT_EQ(d.font().pixelSize(), 13);

    EXPECT_EQ(d.Panel1->geometry(), QRect(4, 8, 289, 137));
    EXPECT_EQ(d.Panel1->BevelOuter(), bvLowered);
    EXPECT_EQ(d.Panel1->BevelInner(), bvRaised);
    EXPECT_EQ(d.ProgramIcon->geometry(), QRect(8, 8, 32, 32));
    EXPECT_FALSE(d.ProgramIcon->pixmap().isNull());
    EXPECT_EQ(d.ProductName->geometry(), QRect(41, 8, 240, 24));
    EXPECT_TRUE(d.ProductName->text().endsWith(" - Cibrano"));
    EXPECT_TRUE(d.ProductName->alignment() & Qt::AlignRight);
    EXPECT_EQ(d.ProductName->font().pixelSize(), 19);
    EXPECT_TRUE(d.ProductName->font().bold());
    EXPECT_EQ(d.ProductLine->text(), "Programma Cibrano");
    EXPECT_EQ(d.ProductLine->geometry(), QRect(4, 48, 281, 13));
    EXPECT_TRUE(d.ProductLine->alignment() & Qt::AlignHCenter);
    EXPECT_EQ(d.ProductLine->palette().color(QPalette::WindowText), QColor(0, 0, 0x80));
    EXPECT_EQ(d.Bevel1->geometry(), QRect(8, 72, 273, 9));
    EXPECT_EQ(d.Label2->geometry(), QRect(8, 80, 264, 13));
    EXPECT_EQ(d.Label3->geometry(), QRect(8, 96, 167, 13));
    EXPECT_EQ(d.Label1->geometry(), QRect(8, 112, 145, 13));
    EXPECT_EQ(d.Label2->text(), makerAddress());
    EXPECT_EQ(d.Label3->text(), makerPhone());
    EXPECT_EQ(d.Label1->text(), makerWeb());
    EXPECT_EQ(d.OKButton->geometry(), QRect(112, 152, 77, 27));
    EXPECT_EQ(d.OKButton->text(), "OK");
    EXPECT_TRUE(d.OKButton->isDefault());
    EXPECT_FALSE(d.OKButton->icon().isNull());
}

TEST(InfoDialog, EveryTextFitsItsBox) {
    TfrmInfo d;
    for (QLabel* label : {d.ProductName, d.ProductLine, d.Label2, d.Label3, d.Label1})
        EXPECT_TRUE(textFits(label));
    d.show();
    QTest::qWait(20);
    const std::string shot = saveScreenshot(&d, "info-dialog");
    EXPECT_TRUE(std::filesystem::exists(shot));
}

TEST(InfoDialog, OpensWithTheFocusOnOkAndEnterClosesItEachTime) {
    TfrmInfo d;
    for (int showing = 0; showing < 2; ++showing) {
        bool focused = false;
        whenModalShows([&](QWidget* modal) {
            EXPECT_EQ(modal, &d); // the same dialog every time
            // The dialog's focus widget; its activation is the window system's business.
            focused = d.focusWidget() == d.OKButton;
            QTest::keyClick(modal, Qt::Key_Return);
        });
        EXPECT_EQ(d.showModal(), QDialog::Accepted);
        EXPECT_TRUE(focused);
        EXPECT_FALSE(d.isVisible());
    }
}

} // namespace
} // namespace cibrano::testing

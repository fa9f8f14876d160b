// Qt's own texts in Italian, installed by the application object whatever the user's locale
// (the tests run in the C locale): the question box's buttons and the file dialog. The engine's
// password dialog keeps its own English texts. Pictures of both dialogs are kept as artifacts.

#include "platform/qt/QtTranslations.h"
#include "platform/qt/PasswordDialog.h"

#include <QDir>
#include <QFileDialog>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTranslator>

#include <gtest/gtest.h>

namespace {

void keepPicture(QWidget* widget, const char* name) {
    const QString dir = QStringLiteral(CIBRANO_BINARY_DIR "/test-artifacts");
    QDir().mkpath(dir);
    widget->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(widget));
    QApplication::processEvents();
    EXPECT_TRUE(widget->grab().save(dir + "/" + name + ".png")) << name;
    widget->hide();
}

TEST(QtTranslations, TheApplicationShowsQtsOwnDialogsInItalianWhateverTheLocale) {
    ASSERT_EQ(QLocale::system().language(), QLocale::C);
    QMessageBox question(QMessageBox::Question, "Cibrano", "Azzerare le quantità di 5 alimenti?",
                         QMessageBox::Yes | QMessageBox::No);
    question.setDefaultButton(QMessageBox::No);
    EXPECT_EQ(question.button(QMessageBox::Yes)->text(), QString::fromUtf8("&Sì"));
    EXPECT_EQ(question.button(QMessageBox::No)->text(), "&No");
    keepPicture(&question, "qt-question-italian");

    QTemporaryDir folder;
    QFileDialog files(nullptr, "Esporta PDF", folder.path(), "PDF (*.pdf)");
    files.setOption(QFileDialog::DontUseNativeDialog);
    files.setAcceptMode(QFileDialog::AcceptSave);
    const QList<QLabel*> labels = files.findChildren<QLabel*>();
    QStringList texts;
    for (const QLabel* label : labels)
        texts << label->text();
    EXPECT_TRUE(texts.contains("Cerca in:")) << texts.join(" | ").toStdString();
    keepPicture(&files, "qt-file-dialog-italian");

    // Installing again adds nothing.
    EXPECT_TRUE(cibrano::installQtTranslations(QLocale(QLocale::Italian, QLocale::Italy)));
    EXPECT_EQ(qApp->findChildren<QTranslator*>().size(), 1);

    // The engine's own dialog speaks as it always did.
    cibrano::TPasswordDialog password;
    EXPECT_EQ(password.okButton()->text(), "OK");
    EXPECT_EQ(password.cancelButton()->text(), "Cancel");
}

} // namespace

// Keys on the grid: appending and cancelling empty rows, deleting, Esc twice (and a third time
// closing a dialog), Tab, and OnKeyDown once per key.

#include "tests/grid/GridTestSupport.h"

#include <QDialog>

namespace cibrano::testing {
namespace {

class GridKeyboardTest : public GridFixture {
protected:
    void SetUp() override {
        addFoodColumns();
        openFoodTable();
        showGrid();
    }
};

TEST_F(GridKeyboardTest, DownOnTheLastRowAppendsAndLeavingTheGridCancelsTheEmptyRow) {
    table.moveLast();
    key(Qt::Key_Down);
    EXPECT_EQ(table.State(), stateInsert);
    EXPECT_EQ(grid->RowCount(), 1 + 6);
    EXPECT_EQ(grid->indicatorImageOf(grid->Row()), 2); // the insert image on the new row
    saveShot("grid-inserting");
    saveZoom("grid-inserting-zoom", QRect(0, 60, 300, 60));

    key(Qt::Key_Down); // an untouched new row at the end stays
    EXPECT_EQ(table.State(), stateInsert);

    other->setFocus(Qt::TabFocusReason);
    QApplication::processEvents();
    EXPECT_EQ(table.State(), stateBrowse);
    EXPECT_EQ(table.recordCount(), 5);
    EXPECT_EQ(grid->RowCount(), 1 + 5);
    EXPECT_FALSE(table.hasUnsavedChanges());
    EXPECT_TRUE(ui.errors.empty());
}

TEST_F(GridKeyboardTest, UpFromAnUntouchedAppendedRowCancelsItInsteadOfMoving) {
    table.moveLast();
    key(Qt::Key_Down);
    ASSERT_EQ(table.State(), stateInsert);
    key(Qt::Key_Up);
    EXPECT_EQ(table.State(), stateBrowse);
    EXPECT_EQ(table.recordCount(), 5);
    EXPECT_EQ(table.recordNumber(), 5); // still on the last food, not the one above it
    EXPECT_EQ(fieldText("Nome"), "Latte intero pastorizzato di alta qualit\xE0");
}

TEST_F(GridKeyboardTest, ATypedValueInTheAppendedRowIsPostedWhenMovingUp) {
    table.moveLast();
    key(Qt::Key_Down);
    selectColumn(1);
    type("Uova");
    key(Qt::Key_Up);
    EXPECT_EQ(table.State(), stateBrowse);
    EXPECT_EQ(table.recordCount(), 6);
    table.moveLast();
    EXPECT_EQ(fieldText("Nome"), "Uova");
}

TEST_F(GridKeyboardTest, CtrlDeleteDeletesTheCurrentRowAtOnceWithoutAQuestion) {
    key(Qt::Key_Delete, Qt::ControlModifier);
    EXPECT_EQ(table.recordCount(), 4);
    EXPECT_EQ(fieldText("Nome"), "Olio extravergine d'oliva");
    EXPECT_TRUE(questions.empty());
    EXPECT_EQ(grid->RowCount(), 1 + 4);
}

TEST_F(GridKeyboardTest, WithConfirmDeleteTheQuestionDecides) {
    grid->setOptions(grid->Options() + TDBGridOptions{dgConfirmDelete});
    answer = false;
    key(Qt::Key_Delete, Qt::ControlModifier);
    EXPECT_EQ(table.recordCount(), 5);
    ASSERT_EQ(questions.size(), 1u);
    EXPECT_EQ(questions[0], "Delete record?");
    answer = true;
    key(Qt::Key_Delete, Qt::ControlModifier);
    EXPECT_EQ(table.recordCount(), 4);
}

TEST_F(GridKeyboardTest, EscAfterTypingRestoresTheTextAndASecondEscCancelsTheEdit) {
    selectColumn(1);
    type("Riso");
    ASSERT_TRUE(editorShown());
    EXPECT_EQ(editorText(), "Riso");
    EXPECT_EQ(table.State(), stateEdit);
    EXPECT_EQ(grid->indicatorImageOf(grid->Row()), 1);
    saveShot("grid-editing");
    saveZoom("grid-editing-zoom", QRect(0, 0, 300, 60));

    key(Qt::Key_Escape);
    EXPECT_EQ(table.State(), stateEdit);
    EXPECT_EQ(grid->EditText(), "Pasta di semola");
    EXPECT_FALSE(editorShown());

    key(Qt::Key_Escape);
    EXPECT_EQ(table.State(), stateBrowse);
    EXPECT_EQ(fieldText("Nome"), "Pasta di semola");
    EXPECT_FALSE(table.hasUnsavedChanges());
}

TEST_F(GridKeyboardTest, InADialogEscapeWithNothingLeftToCancelClosesTheDialog) {
    QDialog dialog(&window);
    auto* inDialog = new TTitleDBGrid(&dialog);
    inDialog->resize(600, 200);
    inDialog->setOptions(grid->Options());
    inDialog->setDataSource(&source);
    int keyDowns = 0;
    inDialog->OnKeyDown = [&](TCustomDBGrid*, int& key, Qt::KeyboardModifiers) {
        if (key == Qt::Key_Escape)
            ++keyDowns;
    };
    auto open = [&] {
        dialog.show();
        dialog.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
        inDialog->setFocus(Qt::OtherFocusReason);
        QApplication::processEvents();
    };
    open();
    inDialog->setSelectedIndex(1);
    type("Riso");
    key(Qt::Key_Escape); // drops the typing
    key(Qt::Key_Escape); // cancels the edit
    EXPECT_EQ(table.State(), stateBrowse);
    EXPECT_TRUE(dialog.isVisible());
    key(Qt::Key_Escape);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
    EXPECT_EQ(keyDowns, 3);

    // An appended row is cancelled first.
    open();
    table.moveLast();
    key(Qt::Key_Down);
    ASSERT_EQ(table.State(), stateInsert);
    key(Qt::Key_Escape);
    EXPECT_EQ(table.State(), stateBrowse);
    EXPECT_TRUE(dialog.isVisible());
    key(Qt::Key_Escape);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(table.recordCount(), 5);
}

TEST_F(GridKeyboardTest, EditingAQuantityShowsTheEditFormatAndEnterWithoutTypingKeepsTheValue) {
    table.beginEdit();
    table.fieldByName("Quantita")->setFloatValue(12.34);
    table.postRecord();
    selectColumn(2);
    key(Qt::Key_F2);
    ASSERT_TRUE(editorShown());
    EXPECT_EQ(editorText(), "12.3");
    key(Qt::Key_Return);
    EXPECT_FALSE(editorShown());
    EXPECT_DOUBLE_EQ(table.fieldByName("Quantita")->floatValue(), 12.34);
    key(Qt::Key_Down);
    table.moveFirst();
    EXPECT_DOUBLE_EQ(table.fieldByName("Quantita")->floatValue(), 12.34);
}

TEST_F(GridKeyboardTest, EnterWritesTheTypedQuantityAndLeavingTheRowPostsIt) {
    selectColumn(2);
    type("42.5");
    key(Qt::Key_Return);
    EXPECT_FALSE(editorShown());
    EXPECT_EQ(table.State(), stateEdit);
    EXPECT_DOUBLE_EQ(table.fieldByName("Quantita")->floatValue(), 42.5);
    key(Qt::Key_Down);
    EXPECT_EQ(table.State(), stateBrowse);
    EXPECT_EQ(table.storedText(0, "Quantita"), "42.5");
}

TEST_F(GridKeyboardTest, ALetterTypedIntoAFloatColumnIsRefusedWithABeep) {
    selectColumn(2);
    type("5");
    ASSERT_TRUE(editorShown());
    type("x");
    EXPECT_EQ(beeps, 1);
    EXPECT_EQ(editorText(), "5");
    type("e3");
    EXPECT_EQ(editorText(), "5e3");
    EXPECT_EQ(beeps, 1);
}

TEST_F(GridKeyboardTest, ARejectedValueKeepsTheEditorOpenWithItsTextAndShowsTheMessage) {
    selectColumn(2);
    type("1e");
    key(Qt::Key_Return);
    ASSERT_EQ(ui.errors.size(), 1u);
    EXPECT_EQ(ui.errors[0].text, "'1e' is not a valid floating point value for field "
                                 "'Quantita'");
    EXPECT_TRUE(editorShown());
    EXPECT_EQ(editorText(), "1e");
    EXPECT_EQ(table.State(), stateEdit);

    key(Qt::Key_Down); // leaving the row tries again and stays
    EXPECT_EQ(ui.errors.size(), 2u);
    EXPECT_EQ(table.recordNumber(), 1);
    EXPECT_TRUE(editorShown());
}

TEST_F(GridKeyboardTest, LeavingTheGridWithARejectedValueTakesTheFocusBack) {
    selectColumn(2);
    type("+-");
    other->setFocus(Qt::TabFocusReason);
    QTest::qWait(10);
    ASSERT_EQ(ui.errors.size(), 1u);
    EXPECT_TRUE(grid->isActiveControl());
    EXPECT_TRUE(editorShown());
    EXPECT_EQ(editorText(), "+-");
    EXPECT_EQ(table.State(), stateEdit);
}

TEST_F(GridKeyboardTest, TextThatWindows1252CannotHoldIsRefusedTypedOrPasted) {
    selectColumn(1);
    type(QStringLiteral("Caff\u00E8"));
    EXPECT_EQ(editorText(), QStringLiteral("Caff\u00E8"));
    type(QStringLiteral("\u03A9")); // Greek omega
    EXPECT_EQ(beeps, 1);
    EXPECT_EQ(editorText(), QStringLiteral("Caff\u00E8"));

    QApplication::clipboard()->setText(QStringLiteral("\u4E2D"));
    key(Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(beeps, 2);
    EXPECT_EQ(editorText(), QStringLiteral("Caff\u00E8"));
    QApplication::clipboard()->setText(QStringLiteral(" \u20AC"));
    key(Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(editorText(), QStringLiteral("Caff\u00E8 \u20AC"));
    EXPECT_EQ(grid->EditText(), "Caff\xE8 \x80");
}

TEST_F(GridKeyboardTest, AnAccentedNameTypedAndPostedReadsBackByteForByteAfterSaveAndReopen) {
    selectColumn(1);
    type(QStringLiteral("Caff\u00E8 \u00E0 l'\u0152uf \u20AC"));
    key(Qt::Key_Down);
    ASSERT_EQ(table.State(), stateBrowse);
    table.saveChanges();
    ASSERT_FALSE(table.saved.empty());

    TImageTable reopened;
    reopened.image = table.saved.back();
    reopened.open();
    EXPECT_EQ(reopened.fieldByName("Nome")->stringValue(), "Caff\xE8 \xE0 l'\x8C"
                                                           "uf \x80");
}

TEST_F(GridKeyboardTest, AStringColumnTakesNoMoreCharactersThanTheFieldHolds) {
    selectColumn(0);
    type(QString(40, QLatin1Char('g')));
    EXPECT_EQ(editorText().size(), 30);
}

TEST_F(GridKeyboardTest, OnKeyDownRunsExactlyOncePerKey) {
    std::vector<int> keys;
    grid->OnKeyDown = [&](TCustomDBGrid*, int& key, Qt::KeyboardModifiers) { keys.push_back(key); };
    key(Qt::Key_Down); // on the grid
    selectColumn(1);
    keys.clear();
    key(Qt::Key_F2);   // opens the editor
    key(Qt::Key_F2);   // inside the editor
    key(Qt::Key_Left); // stays in the text
    key(Qt::Key_Up);   // handed on to the grid
    EXPECT_EQ(keys, (std::vector<int>{Qt::Key_F2, Qt::Key_F2, Qt::Key_Left, Qt::Key_Up}));
}

TEST_F(GridKeyboardTest, AKeyDownHandlerCanSwallowTheKey) {
    grid->OnKeyDown = [](TCustomDBGrid*, int& key, Qt::KeyboardModifiers) {
        if (key == Qt::Key_Down)
            key = 0;
    };
    key(Qt::Key_Down);
    EXPECT_EQ(table.recordNumber(), 1);
}

TEST_F(GridKeyboardTest, TabLeavesTheGridFromTheCellsAndFromTheEditor) {
    key(Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), other);
    grid->setFocus(Qt::OtherFocusReason);
    selectColumn(1);
    key(Qt::Key_F2);
    ASSERT_EQ(QApplication::focusWidget(), editor());
    key(Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), other);
}

TEST_F(GridKeyboardTest, LeftRightHomeEndMoveAmongColumnsAndCtrlHomeEndAmongRecords) {
    key(Qt::Key_Right);
    EXPECT_EQ(grid->SelectedIndex(), 1);
    key(Qt::Key_End);
    EXPECT_EQ(grid->SelectedIndex(), 6);
    key(Qt::Key_Home);
    EXPECT_EQ(grid->SelectedIndex(), 0);
    key(Qt::Key_End, Qt::ControlModifier);
    EXPECT_EQ(table.recordNumber(), 5);
    key(Qt::Key_Home, Qt::ControlModifier);
    EXPECT_EQ(table.recordNumber(), 1);
    key(Qt::Key_Down, Qt::ControlModifier); // the last visible row
    EXPECT_EQ(table.recordNumber(), 5);
}

TEST_F(GridKeyboardTest, InsertAddsARecordAtTheCurrentPosition) {
    key(Qt::Key_Down);
    key(Qt::Key_Insert);
    EXPECT_EQ(table.State(), stateInsert);
    EXPECT_EQ(grid->Row(), row(1));
    selectColumn(1);
    type("Farro");
    key(Qt::Key_Down);
    EXPECT_EQ(table.recordCount(), 6);
}

TEST_F(GridKeyboardTest, AnErrorFromTheDatasetReachesTheReporterAndTheGridFollowsTheDataset) {
    table.BeforeDelete = [](TDataSet*) { throw EDatabaseError("Not now"); };
    key(Qt::Key_Delete, Qt::ControlModifier);
    ASSERT_EQ(ui.errors.size(), 1u);
    EXPECT_EQ(ui.errors[0].text, "Not now.");
    EXPECT_EQ(table.recordCount(), 5);
    EXPECT_EQ(grid->RowCount(), 1 + 5);
}

} // namespace
} // namespace cibrano::testing

namespace cibrano::testing {
namespace {

TEST_F(GridKeyboardTest, MultiSelectedRowsAreMarkedAndDeletedTogetherAfterOneQuestion) {
    grid->setOptions(grid->Options() + TDBGridOptions{dgMultiSelect, dgConfirmDelete});
    click(col(1), row(0));
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, Qt::ControlModifier,
                      cellCenter(col(1), row(2)));
    EXPECT_EQ(grid->selectedRowCount(), 2);
    EXPECT_EQ(grid->indicatorImageOf(row(2)), 4); // current and selected
    key(Qt::Key_Delete, Qt::ControlModifier);
    ASSERT_EQ(questions.size(), 1u);
    EXPECT_EQ(questions[0], "Delete all selected records?");
    EXPECT_EQ(table.recordCount(), 3);
    EXPECT_EQ(grid->selectedRowCount(), 0);
    EXPECT_EQ(column(table, "Nome"),
              (std::vector<AnsiString>{"Olio extravergine d'oliva", "Parmigiano",
                                       "Latte intero pastorizzato di alta qualit\xE0"}));
}

TEST_F(GridKeyboardTest, ShiftDownExtendsTheSelectionAndShiftUpTakesItBack) {
    grid->setOptions(grid->Options() + TDBGridOptions{dgMultiSelect});
    key(Qt::Key_Down, Qt::ShiftModifier);
    key(Qt::Key_Down, Qt::ShiftModifier);
    EXPECT_EQ(grid->selectedRowCount(), 3);
    key(Qt::Key_Up, Qt::ShiftModifier);
    EXPECT_EQ(grid->selectedRowCount(), 2);
    key(Qt::Key_Down);
    EXPECT_EQ(grid->selectedRowCount(), 0);
}

} // namespace
} // namespace cibrano::testing

namespace cibrano::testing {
namespace {

TEST_F(GridKeyboardTest, ShiftInsertPastesIntoTheEditorAndInsertAloneInsertsARecord) {
    selectColumn(1);
    key(Qt::Key_F2);
    key(Qt::Key_End);
    QApplication::clipboard()->setText(QStringLiteral(" fresca"));
    key(Qt::Key_Insert, Qt::ShiftModifier);
    EXPECT_EQ(editorText(), "Pasta di semola fresca");
    EXPECT_TRUE(grid->DataLink()->isModified());
    EXPECT_EQ(table.State(), stateEdit);
    key(Qt::Key_Insert);
    EXPECT_EQ(table.State(), stateInsert);
    table.cancelRecord();
    EXPECT_EQ(table.storedText(0, "Nome"), "Pasta di semola fresca");
}

TEST_F(GridKeyboardTest, AFieldAskedToFocusItsControlSelectsItsColumnAndOpensTheEditor) {
    other->setFocus(Qt::OtherFocusReason);
    table.fieldByName("Proteine")->focusBoundControl();
    EXPECT_TRUE(grid->isActiveControl());
    EXPECT_EQ(grid->SelectedIndex(), 5);
    EXPECT_TRUE(editorShown());
    EXPECT_EQ(editorText(), "10.9");
}

TEST_F(GridKeyboardTest, AChangeOfOneFieldRedrawsOnlyItsColumn) {
    QApplication::processEvents();
    struct PaintSpy : QObject {
        QRegion painted;
        bool eventFilter(QObject*, QEvent* e) override {
            if (e->type() == QEvent::Paint)
                painted += static_cast<QPaintEvent*>(e)->region();
            return false;
        }
    } spy;
    grid->viewport()->installEventFilter(&spy);
    table.beginEdit();
    QApplication::processEvents();
    spy.painted = QRegion();
    table.fieldByName("Lipidi")->setFloatValue(2.5);
    grid->viewport()->repaint(QRect()); // nothing but what is pending
    QApplication::processEvents();
    const QRect lipidi = grid->cellRect(col(4), row(0));
    ASSERT_FALSE(spy.painted.isEmpty());
    EXPECT_GE(spy.painted.boundingRect().left(), lipidi.left() - 1);
    EXPECT_LE(spy.painted.boundingRect().right(), lipidi.right() + 1);
    grid->viewport()->removeEventFilter(&spy);
    table.cancelRecord();
}

} // namespace
} // namespace cibrano::testing

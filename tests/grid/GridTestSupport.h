#pragma once
// Helpers for the grid tests: a window holding the grid and one more control, the program's
// seven food columns, real tables (the golden food table or tables made by the test), keys
// sent to whatever has the focus, counted beeps and questions, and screenshots saved under the
// build folder's test-artifacts.

#include "dataset/DataSource.h"
#include "dataset/FloatField.h"
#include "grid/InplaceEdit.h"
#include "grid/TitleDBCtrl.h"
#include "platform/qt/QtFonts.h"
#include "platform/qt/QtText.h"
#include "tests/engine/DOvuzaZerivirTestSupport.h"

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTest>
#include <QVBoxLayout>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace cibrano::testing {

// A table that counts the records its engine fetches.
class TCountingTable : public TImageTable {
public:
    int fetches = 0;

protected:
    TFetchResult fetchRecord(uint8_t* buffer, TFetchMode mode, bool check) override {
        ++fetches;
        return TImageTable::fetchRecord(buffer, mode, check);
    }
};

// The food table's fields, for tables made by the tests.
inline std::vector<FieldDescription> foodFields() {
    return {{"Gruppo", ftFixedChar, 30}, {"Nome", ftString, 50},  {"Quantita", ftFloat, 0},
            {"Kcalorie", ftFloat, 0},    {"Glucidi", ftFloat, 0}, {"Lipidi", ftFloat, 0},
            {"Proteine", ftFloat, 0}};
}

// `count` foods named "Food 1", "Food 2", ...
inline std::string manyFoods(int count) {
    std::vector<std::vector<std::string>> rows;
    for (int i = 1; i <= count; ++i)
        rows.push_back({"Gruppo " + std::to_string(i % 7), "Food " + std::to_string(i),
                        std::to_string(i % 5), std::to_string(100 + i), "1.5", "2.5", "3.5"});
    return tableImage(foodFields(), rows);
}

template <typename Table = TImageTable> class GridFixtureOf : public TableFixture {
protected:
    GridFixtureOf() {
        setGridBeepHandler([this] { ++beeps; });
        setGridQuestionHandler([this](QWidget*, const AnsiString& question) {
            questions.push_back(question);
            return answer;
        });
        window.resize(747, 360);
        window.setFont(msSansSerif(11));
        auto* layout = new QVBoxLayout(&window);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->setSpacing(0);
        grid = new TTitleDBGrid(&window);
        grid->setObjectName("TitleDBGrid1");
        other = new QLineEdit(&window);
        other->setObjectName("other");
        layout->addWidget(grid, 1);
        layout->addWidget(other);
        source.setDataSet(&table);
    }
    ~GridFixtureOf() override {
        setGridBeepHandler(nullptr);
        setGridQuestionHandler(nullptr);
    }

    // The program's columns and title buttons.
    void addFoodColumns() {
        const std::vector<std::pair<const char*, int>> columns = {
            {"Gruppo", 113}, {"Nome", 276},    {"Quantita", 77}, {"Glucidi", 60},
            {"Lipidi", 60},  {"Proteine", 60}, {"Kcalorie", 60}};
        for (const auto& [name, width] : columns) {
            TColumn* column = grid->Columns().add();
            column->setFieldName(name);
            column->setWidth(width);
        }
        grid->setOptions({dgEditing, dgTitles, dgIndicator, dgColumnResize, dgColLines, dgRowLines,
                          dgCancelOnExit});
        grid->setTitleButtons(true);
        grid->setTitleFont(msSansSerif(11));
    }

    // The number formats the program gives its float fields.
    void setFoodFormats() {
        for (const char* name : {"Quantita", "Kcalorie", "Glucidi", "Lipidi", "Proteine"}) {
            auto* field = dynamic_cast<TFloatField*>(table.fieldByName(name));
            ASSERT_NE(field, nullptr) << name;
            field->setDisplayFormat("#,##0.0");
            field->setEditFormat("#.#");
        }
    }

    void openTable(const std::string& image) {
        table.image = image;
        table.open();
        setFoodFormats();
    }

    void openFoodTable() { openTable(goldenBytes("food-plain.d")); }

    // The window on screen and active, the grid focused.
    void showGrid() {
        grid->setDataSource(&source);
        window.show();
        window.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
        grid->setFocus(Qt::OtherFocusReason);
        QApplication::processEvents();
    }

    QWidget* focus() const {
        QWidget* w = QApplication::focusWidget();
        return w ? w : grid;
    }
    void key(Qt::Key k, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QTest::keyClick(focus(), k, modifiers);
    }
    // Each character as a key with its text, to whatever has the focus.
    void type(const QString& text) {
        for (QChar c : text) {
            QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(c));
            QApplication::sendEvent(focus(), &press);
            QKeyEvent release(QEvent::KeyRelease, Qt::Key_unknown, Qt::NoModifier, QString(c));
            QApplication::sendEvent(focus(), &release);
        }
    }

    TInplaceEdit* editor() const { return grid->InplaceEditor(); }
    bool editorShown() const { return editor() && editor()->isVisible(); }
    QString editorText() const { return editor() ? editor()->text() : QString(); }

    // Grid column of a data column, grid row of a data row.
    int col(int dataColumn) const { return dataColumn + grid->IndicatorOffset(); }
    int row(int dataRow) const { return dataRow + grid->TitleOffset(); }
    QPoint cellCenter(int gridCol, int gridRow) const {
        return grid->cellRect(gridCol, gridRow).center();
    }
    void click(int gridCol, int gridRow) {
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, Qt::NoModifier,
                          cellCenter(gridCol, gridRow));
    }
    // Makes data column `dataColumn` current.
    void selectColumn(int dataColumn) {
        grid->setSelectedIndex(dataColumn);
        ASSERT_EQ(grid->SelectedIndex(), dataColumn);
    }

    AnsiString fieldText(const char* field) { return table.fieldByName(field)->displayText(); }

    void saveShot(const char* name) {
        QApplication::processEvents();
        const QString dir = QStringLiteral(CIBRANO_BINARY_DIR "/test-artifacts");
        QDir().mkpath(dir);
        EXPECT_TRUE(window.grab().save(dir + "/" + name + ".png")) << name;
    }

    // A part of the window, enlarged without smoothing, to look at single pixels.
    void saveZoom(const char* name, const QRect& part, int factor = 4) {
        QApplication::processEvents();
        const QString dir = QStringLiteral(CIBRANO_BINARY_DIR "/test-artifacts");
        QDir().mkpath(dir);
        const QImage image = window.grab(part).toImage();
        EXPECT_TRUE(
            image.scaled(image.size() * factor, Qt::IgnoreAspectRatio, Qt::FastTransformation)
                .save(dir + "/" + name + ".png"))
            << name;
    }

    Table table;
    TDataSource source;
    QWidget window;
    TTitleDBGrid* grid = nullptr;
    QLineEdit* other = nullptr;
    int beeps = 0;
    std::vector<AnsiString> questions;
    bool answer = true;
};

using GridFixture = GridFixtureOf<TImageTable>;

} // namespace cibrano::testing

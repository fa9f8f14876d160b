#pragma once
// Helpers for the window tests: a working folder holding a small food table, fixed regional
// settings and a scripted user interface (from the table fixture), modal windows worked from
// inside their own loop, text that fits its box, and screenshots kept as test artifacts.

#include "tests/engine/ZerovTableTestSupport.h"
#include "tests/platform_qt/ModalHelper.h"
#include "tests/recipe/RecipeTestSupport.h"

#include "engine/table/ZerovTable.h"

#include <QApplication>
#include <QFontMetrics>
#include <QLabel>
#include <QTest>
#include <QTimer>

#include <array>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace cibrano::testing {

inline const std::vector<FoodRow>& sampleFoods() {
    static const std::vector<FoodRow> rows = {
        {"Cereali", "Pane comune", "0", "275", "60", "1", "8"},
        {"Cereali", "Pasta di semola", "0", "353", "80", "1.5", "11"},
        {"Frutta", "Mela", "0", "52", "14", "0.2", "0.3"},
        {"Latte", "Latte intero", "0", "64", "5", "3.6", "3.3"},
        {"Verdure", "Pomodori", "0", "18", "3.5", "0.2", "1"},
    };
    return rows;
}

class WindowFixture : public ZerovTableFixture {
protected:
    WindowFixture() : previousFolder_(std::filesystem::current_path()) {
        std::filesystem::current_path(dir.path);
    }
    ~WindowFixture() override { std::filesystem::current_path(previousFolder_); }

    std::string tablePath() const { return dir.file("alimenti.d"); }

    // The food table with these rows, enciphered with the program's password, which the
    // session then forgets.
    void writeFoodTable(const std::vector<FoodRow>& rows = sampleFoods()) {
        copyGolden("food-plain.d", "alimenti.d");
        fillFoodTable(tablePath(), rows, kFoodPassword);
    }

    // The quantities of the stored table, row by row in stored order.
    std::vector<double> storedQuantities() {
        TZerovTable t;
        t.setTableName(tablePath());
        t.setPassword(kFoodPassword);
        t.open();
        std::vector<double> values;
        for (t.moveFirst(); !t.atEnd(); t.moveNext())
            values.push_back(t.fieldByName("Quantita")->floatValue());
        t.close();
        forgetPasswords();
        return values;
    }

private:
    std::filesystem::path previousFolder_;
};

using ::testkit::typeText;
using ::testkit::whenModalShows;
using ::testkit::whenModalShowsAbove;

// Whether a label's text fits its box in its own font (trailing blanks show nothing).
inline ::testing::AssertionResult textFits(const QLabel* label) {
    const QFontMetrics metrics(label->font());
    QString shown = label->text();
    while (shown.endsWith(' '))
        shown.chop(1);
    const int width = metrics.horizontalAdvance(shown);
    if (width <= label->width() && metrics.ascent() <= label->height())
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure()
           << shown.toStdString() << " needs " << width << "x" << metrics.ascent() << ", has "
           << label->width() << "x" << label->height();
}

// Keeps a picture of `widget` as <build>/test-artifacts/<name>.png; answers the path.
inline std::string saveScreenshot(QWidget* widget, const char* name) {
    const std::filesystem::path folder =
        std::filesystem::path(CIBRANO_BINARY_DIR) / "test-artifacts";
    std::filesystem::create_directories(folder);
    const std::string path = (folder / (std::string(name) + ".png")).string();
    widget->grab().save(QString::fromStdString(path));
    return path;
}

} // namespace cibrano::testing

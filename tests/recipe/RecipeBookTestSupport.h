#pragma once
// Helpers for the recipe book tests: a working folder with a small food table and a book over
// the calculator's food table, the food rows' quantities, and the book files as another
// program would read them.

#include "recipe/RecipeBook.h"
#include "tests/recipe/RecipeTestSupport.h"

#include "platform/Clock.h"

#include <map>
#include <memory>

namespace cibrano::testing {

// Foods with round values, so that the totals can be worked out by hand.
inline const std::vector<FoodRow>& bookFoods() {
    static const std::vector<FoodRow> rows = {
        {"Cereali", "Pane comune", "0", "275", "60", "1", "8"},
        {"Cereali", "Pasta di semola", "0", "353", "80", "1.5", "11"},
        {"Verdure", "Pomodori", "0", "18", "3.5", "0.2", "1"},
        {"Latte", "Latte intero", "0", "64", "5", "3.6", "3.3"},
        {"Frutta", "Mela", "0", "52", "14", "0.2", "0.3"},
        // The same food twice: a recipe's line goes to the first one in stored order.
        {"Verdure", "Pomodori", "0", "20", "4", "0.3", "1.2"},
    };
    return rows;
}

class RecipeBookFixture : public RecipeFixture {
protected:
    RecipeBookFixture() {
        // A fixed "now", so that the dates written can be checked.
        setClockForTesting([this] { return clock; });
    }
    ~RecipeBookFixture() override {
        book.reset();
        setClockForTesting(nullptr);
    }

    // The food table, the calculator opened on it and the book opened.
    void start(const std::vector<FoodRow>& rows = bookFoods()) {
        writeFoodTable(rows);
        calc.OpenRecipeTables();
        openBook();
    }
    void openBook() {
        book = std::make_unique<RecipeBook>(calc);
        book->open();
    }

    // The pasta recipe: 200 g pasta, 150 g tomatoes, 50 g milk.
    void typePasta() {
        setQuantity("Pasta di semola", "200");
        setQuantity("Pomodori", "150");
        setQuantity("Latte intero", "50");
    }

    // The quantity of every food row by "Gruppo/Nome#k" (k counts rows of one food), stored
    // order.
    std::map<std::string, double> quantities() {
        std::map<std::string, double> values;
        TZerovTable& t = *calc.Table2;
        t.refreshViewFromStore();
        for (t.moveFirst(); !t.atEnd(); t.moveNext()) {
            std::string key =
                calc.Table2GRUPPO->stringValue() + "/" + calc.Table2NOME->stringValue();
            int k = 1;
            while (values.count(key + "#" + std::to_string(k)))
                ++k;
            values[key + "#" + std::to_string(k)] = calc.Table2QUANTITA->floatValue();
        }
        return values;
    }
    std::map<std::string, double> nonZeroQuantities() {
        std::map<std::string, double> used;
        for (const auto& [key, value] : quantities())
            if (value != 0)
                used[key] = value;
        return used;
    }

    // The quantities of the stored food table, row by row in stored order.
    std::vector<double> storedQuantities() {
        std::vector<double> values;
        TZerovTable t;
        t.setTableName(tablePath());
        t.setPassword(kFoodPassword);
        t.open();
        for (t.moveFirst(); !t.atEnd(); t.moveNext())
            values.push_back(t.fieldByName("Quantita")->floatValue());
        return values;
    }

    std::string recipesPath() const { return dir.file("ricette.d"); }
    std::string linesPath() const { return dir.file("ingredienti.d"); }
    std::string bytesOf(const std::string& path) const { return readWholeFile(path).value_or(""); }

    // The rows of a book file as texts, field by field, read by a table of its own.
    std::vector<std::vector<AnsiString>> fileRows(const std::string& path) {
        std::vector<std::vector<AnsiString>> rows;
        TZerovTable t;
        t.setTableName(path);
        t.setPassword(kFoodPassword);
        t.open();
        for (t.moveFirst(); !t.atEnd(); t.moveNext()) {
            std::vector<AnsiString> row;
            for (int i = 0; i < t.fieldCount(); ++i)
                row.push_back(t.Fields()[i]->stringValue());
            rows.push_back(row);
        }
        return rows;
    }

    TDateTime clock = 46000.5; // 2025-12-09 12:00
    std::unique_ptr<RecipeBook> book;
};

} // namespace cibrano::testing

#pragma once
// What the recipe book's window tests share: the program's food table written and opened, a
// book over it, and quantities typed into the food table by food name.

#include "recipe/RecipeBook.h"
#include "recipe/RecipeCalculator.h"

#include "tests/windows/WindowTestSupport.h"

namespace cibrano::testing {

class BookWindowFixture : public WindowFixture {
protected:
    BookWindowFixture() {
        writeFoodTable();
        calc.OpenRecipeTables();
    }

    // The first food of that name gets the grams, posted as typing would.
    void typeQuantity(const char* nome, double grams) {
        TZerovTable& t = *calc.Table1;
        for (t.moveFirst(); !t.atEnd(); t.moveNext())
            if (calc.Table1Nome->stringValue() == nome) {
                t.beginEdit();
                calc.Table1Quantita->setFloatValue(grams);
                t.postRecord();
                return;
            }
        ADD_FAILURE() << "no food " << nome;
    }
    // Pasta 200 g, tomatoes 100 g: 553 kcal in 300 g.
    void typePasta() {
        typeQuantity("Pasta di semola", 200);
        typeQuantity("Pomodori", 100);
    }

    RecipeCalculator calc;
    RecipeBook book{calc};
};

} // namespace cibrano::testing

#pragma once
// SaveRecipeDialog: the small dialog that asks under which name, for how many servings and
// with what final weight (optional: the grams of the finished dish) the food table's current
// recipe is kept. It opens with the focus in the name, its text selected; Tab goes to the
// servings, then the final weight, Enter confirms, Escape cancels. A name that is empty or
// too long is refused where it was typed, and so are servings that are not a whole number
// from 1 to 999 and a final weight that is not a number above 0 up to 1,000,000 (the text
// stays as typed); a final weight below a tenth or above ten times the ingredients' grams asks
// first; a name already kept asks whether to replace that recipe, and No leaves the dialog
// open to choose another. Until servings and final weight are typed, they follow the name: a
// kept recipe's own, else those proposed.

#include "platform/AnsiString.h"

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;

namespace cibrano {

class RecipeBook;

class SaveRecipeDialog : public QDialog {
    Q_OBJECT
public:
    SaveRecipeDialog(RecipeBook& book, QWidget* parent = nullptr);

    // The name, servings and final weight (0 for none) shown when the dialog opens (those of
    // the recipe the quantities came from, if any).
    void propose(const AnsiString& name, int servings, double finalWeight = 0);

    // After OK: the name as kept (trimmed), the servings, and whether it replaces the recipe of
    // that name.
    const AnsiString& recipeName() const { return name_; }
    int servings() const { return servings_; }
    // 0 when none was given.
    double finalWeight() const { return finalWeight_; }
    bool replacesExisting() const { return replace_; }

    QLabel* NameLabel;
    QLineEdit* NameEdit;
    QLabel* ServingsLabel;
    QLineEdit* ServingsEdit;
    QLabel* FinalWeightLabel;
    QLineEdit* FinalWeightEdit;
    QPushButton* OKButton;
    QPushButton* CancelButton;

    void accept() override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    // The servings shown for the name typed, while the user has typed none.
    void followName();
    static QString finalWeightText(double grams);

    RecipeBook& book_;
    int proposedServings_ = 1;
    bool servingsTyped_ = false;
    double proposedFinalWeight_ = 0;
    bool finalWeightTyped_ = false;
    double finalWeight_ = 0;
    AnsiString name_;
    int servings_ = 1;
    bool replace_ = false;
};

} // namespace cibrano

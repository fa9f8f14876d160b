#pragma once
// SaveRecipeDialog: the small dialog that asks under which name, and for how many servings,
// the food table's current recipe is kept. It opens with the focus in the name, its text
// selected; Tab goes to the servings, Enter confirms, Escape cancels. A name that is empty or
// too long is refused where it was typed, and so are servings that are not a whole number
// from 1 to 999 (the text stays as typed); a name already kept asks whether to replace that
// recipe, and No leaves the dialog open to choose another. Until servings are typed, they
// follow the name: a kept recipe's own, else those proposed.

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

    // The name and servings shown when the dialog opens (those of the recipe the quantities
    // came from, if any).
    void propose(const AnsiString& name, int servings);

    // After OK: the name as kept (trimmed), the servings, and whether it replaces the recipe of
    // that name.
    const AnsiString& recipeName() const { return name_; }
    int servings() const { return servings_; }
    bool replacesExisting() const { return replace_; }

    QLabel* NameLabel;
    QLineEdit* NameEdit;
    QLabel* ServingsLabel;
    QLineEdit* ServingsEdit;
    QPushButton* OKButton;
    QPushButton* CancelButton;

    void accept() override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    // The servings shown for the name typed, while the user has typed none.
    void followName();

    RecipeBook& book_;
    int proposedServings_ = 1;
    bool servingsTyped_ = false;
    AnsiString name_;
    int servings_ = 1;
    bool replace_ = false;
};

} // namespace cibrano

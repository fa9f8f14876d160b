#pragma once
// SaveRecipeDialog: the small dialog that asks under which name, and for how many servings,
// the food table's current recipe is kept. It opens with the focus in the name, its text
// selected; Tab goes to the servings, Enter confirms, Escape cancels. A name that is empty or
// too long is refused where it was typed; a name already kept asks whether to replace that
// recipe, and No leaves the dialog open to choose another.

#include "platform/AnsiString.h"

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;

namespace cibrano {

class RecipeBook;

class SaveRecipeDialog : public QDialog {
    Q_OBJECT
public:
    SaveRecipeDialog(RecipeBook& book, QWidget* parent = nullptr);

    // The name shown when the dialog opens (the recipe loaded last, if any).
    void setDefaultName(const AnsiString& name);

    // After OK: the name as kept (trimmed), the servings, and whether it replaces the recipe of
    // that name.
    const AnsiString& recipeName() const { return name_; }
    int servings() const { return servings_; }
    bool replacesExisting() const { return replace_; }

    QLabel* NameLabel;
    QLineEdit* NameEdit;
    QLabel* ServingsLabel;
    QSpinBox* ServingsEdit;
    QPushButton* OKButton;
    QPushButton* CancelButton;

    void accept() override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    RecipeBook& book_;
    AnsiString name_;
    int servings_ = 1;
    bool replace_ = false;
};

} // namespace cibrano

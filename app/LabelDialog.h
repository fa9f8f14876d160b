#pragma once
// LabelDialog: the nutrition label of a recipe of the book ("Etichetta nutrizionale"), modal.
// The declaration drawn as the label will be (recipe/NutritionDeclaration.h), what it lacks or
// gets wrong below it, the recipe's final weight and servings (each written through the book
// when Enter is pressed in it, and before every command and the closing: a refused value stays
// as typed, with its message, and the window stays open), the label's width in millimetres,
// and the commands: the declaration copied as text (its table with tabs, then the linear form),
// and the label exported as PDF, SVG or PNG (a save dialog proposing "<recipe> - etichetta"
// in the documents folder, the file written atomically). Escape and "Chiudi" close it.

#include "recipe/LabelLayout.h"
#include "recipe/NutritionDeclaration.h"

#include <QDialog>

#include <optional>

class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;

namespace cibrano {

class RecipeBook;

class LabelDialog : public QDialog {
    Q_OBJECT
public:
    // The label of the book's recipe `code`.
    LabelDialog(RecipeBook& book, int code, QWidget* parent = nullptr);

    QLabel* Preview;
    // What the declaration lacks or gets wrong, and what it assumed.
    QLabel* MessagesLabel;
    QLabel* FinalWeightLabel;
    QLineEdit* FinalWeightEdit;
    QLabel* ServingsLabel;
    QLineEdit* ServingsEdit;
    QLabel* WidthLabel;
    QSpinBox* WidthEdit;
    QPushButton* CopyButton;
    QPushButton* PdfButton;
    QPushButton* SvgButton;
    QPushButton* PngButton;
    QPushButton* CloseButton;

    // The declaration shown; none when the recipe has none (no lines, gone).
    const std::optional<NutritionDeclaration>& declaration() const { return declaration_; }
    // The label at the width chosen; none without a declaration.
    std::optional<LabelLayout> shownLabel() const;

    void CopyButtonClick();
    void PdfButtonClick();
    void SvgButtonClick();
    void PngButtonClick();
    // Writes the final weight and servings typed when they differ from the book's; false when
    // the book refused one (its message shown).
    bool applyEdits();
    // Reads the recipe again and redraws.
    void refresh();
    void reject() override;

private:
    void createControls();
    // The edits applied, then the label written to the file chosen.
    void exportLabel(const QString& caption, const QString& suffix, const QString& filter,
                     void (*write)(const LabelLayout&, const std::string&));

    RecipeBook& book_;
    int code_;
    std::optional<NutritionDeclaration> declaration_;
};

} // namespace cibrano

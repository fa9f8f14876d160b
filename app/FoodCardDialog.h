#pragma once
// FoodCardDialog: "Scheda alimento", every value of one food of the food table. The group and
// the name in edit boxes, the source shown read-only (it says where the values come from; the
// card does not change it), then one row per value the card offers: its heading, a text box,
// its unit and a "non noto" tick box (on a table that keeps unknown values; ticking it empties
// and disables the box, unticking gives the text back). Enter confirms, Escape leaves without
// writing. The dialog takes the card as plain values (recipe/FoodCard.h) and hands what was
// typed to OnConfirm; the window that opens it writes through the card's logic.

#include "recipe/FoodCard.h"

#include <QDialog>

#include <functional>
#include <vector>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace cibrano {

class FoodCardDialog : public QDialog {
    Q_OBJECT
public:
    explicit FoodCardDialog(const FoodCard& card, QWidget* parent = nullptr);

    // What the boxes hold now, one value per value of the card.
    FoodCardTyped typed() const;

    // Run by OK with what is typed: true closes the dialog, false keeps it open as it is. An
    // error it raises is shown and keeps the dialog open, the focus on the box a
    // FoodCardRefusal names.
    std::function<bool(const FoodCardTyped&)> OnConfirm;

    QLineEdit* GroupEdit;
    QLineEdit* NameEdit;
    // None when the food table has no source.
    QLineEdit* SourceEdit = nullptr;
    std::vector<QLineEdit*> ValueEdits;
    // None on a table that keeps no unknown values.
    std::vector<QCheckBox*> UnknownBoxes;
    QLabel* NoteLabel = nullptr;
    QPushButton* OKButton;
    QPushButton* CancelButton;

    void accept() override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void setUnknown(size_t index, bool unknown);
    void focusBox(int where);

    // The text each value's box held when "non noto" was ticked.
    std::vector<QString> heldTexts_;
};

} // namespace cibrano

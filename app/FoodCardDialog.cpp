#include "app/FoodCardDialog.h"

#include "platform/UiServices.h"
#include "platform/qt/AnsiValidator.h"
#include "platform/qt/QtFonts.h"
#include "platform/qt/QtText.h"
#include "recipe/FoodCardMessages.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSet>
#include <QShowEvent>
#include <QVBoxLayout>

namespace cibrano {

namespace {

constexpr int kTextWidth = 300;
constexpr int kValueWidth = 90;

// The label's text with an accelerator on its first letter no other label has taken.
QString withAccelerator(const QString& text, QSet<QChar>& taken) {
    QString label = text;
    label.replace('&', "&&");
    for (qsizetype i = 0; i < label.size(); ++i) {
        const QChar c = label[i].toLower();
        if (!c.isLetter() || taken.contains(c) || (i > 0 && label[i - 1] == '&'))
            continue;
        taken.insert(c);
        label.insert(i, '&');
        return label;
    }
    return label;
}

QString headingText(const FoodCardValue& value) {
    return toQt(AnsiString(value.heading)) + ':';
}

} // namespace

FoodCardDialog::FoodCardDialog(const FoodCard& card, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint |
                          Qt::WindowTitleHint | Qt::WindowCloseButtonHint) {
    setObjectName("frmSchedaAlimento");
    setWindowTitle(toQt(cardmsg::Title));
    installFontSubstitutes();
    setFont(msSansSerif(11));
    setModal(true);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(8, 8, 8, 8);
    layout->setSpacing(6);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    auto* grid = new QGridLayout;
    grid->setHorizontalSpacing(8);
    grid->setVerticalSpacing(4);
    layout->addLayout(grid);

    QSet<QChar> taken;
    int row = 0;
    auto textRow = [&](const QString& caption, const AnsiString& text, int size, bool accelerator) {
        auto* label = new QLabel(accelerator ? withAccelerator(caption, taken) : caption, this);
        auto* edit = new QLineEdit(toQt(text), this);
        edit->setMinimumWidth(kTextWidth);
        edit->setValidator(new AnsiValidator(edit));
        if (size > 0)
            edit->setMaxLength(size);
        label->setBuddy(edit);
        grid->addWidget(label, row, 0);
        grid->addWidget(edit, row, 1, 1, 3);
        ++row;
        return edit;
    };
    GroupEdit = textRow("Gruppo:", card.gruppo, card.gruppoSize, true);
    GroupEdit->setObjectName("GroupEdit");
    NameEdit = textRow("Nome:", card.nome, card.nomeSize, true);
    NameEdit->setObjectName("NameEdit");
    if (card.fonte) {
        SourceEdit = textRow("Fonte:", *card.fonte, 0, false);
        SourceEdit->setObjectName("SourceEdit");
        SourceEdit->setReadOnly(true);
        SourceEdit->setFocusPolicy(Qt::ClickFocus);
    }

    auto* caption = new QLabel("Valori per 100 g", this);
    caption->setFont(msSansSerif(11, true));
    grid->addWidget(caption, row++, 0, 1, 4);

    heldTexts_.resize(card.values.size());
    for (size_t i = 0; i < card.values.size(); ++i) {
        const FoodCardValue& v = card.values[i];
        auto* label = new QLabel(withAccelerator(headingText(v), taken), this);
        auto* edit = new QLineEdit(toQt(v.text), this);
        edit->setObjectName(QString("ValueEdit_%1").arg(v.field));
        edit->setFixedWidth(kValueWidth);
        edit->setAlignment(Qt::AlignRight);
        edit->setValidator(new AnsiValidator(edit));
        label->setBuddy(edit);
        grid->addWidget(label, row, 0);
        grid->addWidget(edit, row, 1);
        grid->addWidget(new QLabel(v.unit ? toQt(AnsiString(v.unit)) : QString(), this), row, 2);
        ValueEdits.push_back(edit);
        if (card.unknownAllowed) {
            auto* box = new QCheckBox(toQt(cardmsg::Unknown), this);
            box->setObjectName(QString("UnknownBox_%1").arg(v.field));
            grid->addWidget(box, row, 3);
            UnknownBoxes.push_back(box);
            box->setChecked(!v.known);
            setUnknown(i, !v.known);
            connect(box, &QCheckBox::toggled, this, [this, i](bool on) { setUnknown(i, on); });
        }
        ++row;
    }
    grid->setColumnStretch(3, 1);

    if (!card.note.empty()) {
        NoteLabel = new QLabel(toQt(card.note), this);
        NoteLabel->setObjectName("NoteLabel");
        NoteLabel->setWordWrap(true);
        layout->addWidget(NoteLabel);
    }

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    OKButton = new QPushButton("OK", this);
    OKButton->setObjectName("OKButton");
    OKButton->setDefault(true);
    CancelButton = new QPushButton("Annulla", this);
    CancelButton->setObjectName("CancelButton");
    for (QPushButton* b : {OKButton, CancelButton}) {
        b->setMinimumSize(77, 23);
        buttons->addWidget(b);
    }
    layout->addLayout(buttons);
    connect(OKButton, &QPushButton::clicked, this, &FoodCardDialog::accept);
    connect(CancelButton, &QPushButton::clicked, this, &QDialog::reject);

    // Top to bottom: group, name, then each value and its tick box, then the buttons.
    std::vector<QWidget*> order = {GroupEdit, NameEdit};
    for (size_t i = 0; i < ValueEdits.size(); ++i) {
        order.push_back(ValueEdits[i]);
        if (i < UnknownBoxes.size())
            order.push_back(UnknownBoxes[i]);
    }
    order.push_back(OKButton);
    order.push_back(CancelButton);
    for (size_t i = 1; i < order.size(); ++i)
        setTabOrder(order[i - 1], order[i]);
}

void FoodCardDialog::setUnknown(size_t index, bool unknown) {
    QLineEdit* edit = ValueEdits[index];
    if (unknown) {
        if (!edit->text().isEmpty())
            heldTexts_[index] = edit->text();
        edit->clear();
    } else if (edit->text().isEmpty()) {
        edit->setText(heldTexts_[index]);
    }
    edit->setEnabled(!unknown);
}

FoodCardTyped FoodCardDialog::typed() const {
    FoodCardTyped t;
    t.gruppo = fromQt(GroupEdit->text()).value_or(AnsiString());
    t.nome = fromQt(NameEdit->text()).value_or(AnsiString());
    for (size_t i = 0; i < ValueEdits.size(); ++i) {
        const bool unknown = i < UnknownBoxes.size() && UnknownBoxes[i]->isChecked();
        t.values.push_back(
            {unknown ? AnsiString() : fromQt(ValueEdits[i]->text()).value_or(AnsiString()),
             unknown});
    }
    return t;
}

void FoodCardDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!event->spontaneous())
        GroupEdit->setFocus();
}

void FoodCardDialog::focusBox(int where) {
    QLineEdit* edit = where == FoodCardRefusal::group  ? GroupEdit
                      : where == FoodCardRefusal::name ? NameEdit
                      : where >= 0 && static_cast<size_t>(where) < ValueEdits.size()
                          ? ValueEdits[static_cast<size_t>(where)]
                          : nullptr;
    if (!edit)
        return;
    edit->setFocus();
    edit->selectAll();
}

void FoodCardDialog::accept() {
    try {
        if (OnConfirm && !OnConfirm(typed()))
            return;
        QDialog::accept();
    } catch (const FoodCardRefusal& refusal) {
        reportError(refusal);
        focusBox(refusal.where());
    } catch (const std::exception& e) {
        reportError(e);
    }
}

} // namespace cibrano

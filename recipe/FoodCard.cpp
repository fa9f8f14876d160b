#include "recipe/FoodCard.h"

#include "dataset/FieldDefs.h"
#include "dataset/NumberFormat.h"
#include "platform/AnsiCase.h"
#include "platform/Format.h"
#include "platform/RunThenAlways.h"
#include "platform/UiServices.h"
#include "recipe/FoodCardMessages.h"
#include "recipe/MissingValues.h"
#include "recipe/Nutrients.h"
#include "recipe/RecipeFoodRows.h"

#include <cmath>
#include <stdexcept>
#include <string_view>

namespace cibrano {

namespace {

constexpr const char* kSourceField = "Fonte";

// A part of a nutrient that cannot be more than the nutrient itself, by field name.
struct PartOfWhole {
    const char* part;
    const char* whole;
    const char* question;
};
constexpr PartOfWhole kParts[] = {
    {"Saturi", "Lipidi", cardmsg::SaturatesAboveFats},
    {"Zuccheri", "Glucidi", cardmsg::SugarsAboveCarbohydrates},
};

// The food table's field of that name when the file has it.
TField* fileField(const TZerovTable& food, const char* name) {
    TField* field = food.findField(name);
    return field && field->FieldNo() > 0 ? field : nullptr;
}

TField* missingField(const RecipeCalculator& calc) {
    return calc.Table1Mancanti && calc.Table1Mancanti->FieldNo() > 0 ? calc.Table1Mancanti
                                                                     : nullptr;
}

AnsiString valueText(double value) {
    return formatGeneral(value, 15);
}

bool blank(const AnsiString& text) {
    return text.find_first_not_of(' ') == AnsiString::npos;
}

// Whether the file has a float field the grid shows no column for (its fields are hidden).
bool hasOtherValues(const TZerovTable& food) {
    const TFieldDefs& defs = food.FieldDefs();
    for (int i = 0; i < defs.count(); ++i)
        if (const TField* field = food.findField(defs[i].Name());
            defs[i].DataType() == ftFloat && (!field || !field->Visible()))
            return true;
    return false;
}

FoodCard readCard(const RecipeCalculator& calc, const RecordEntry& row) {
    const TZerovTable& food = *calc.Table1;
    FoodCard card;
    card.gruppo = AnsiString(StoredField(food, calc.Table1Gruppo).text(row.data));
    card.nome = AnsiString(StoredField(food, calc.Table1Nome).text(row.data));
    card.gruppoSize = calc.Table1Gruppo->Size();
    card.nomeSize = calc.Table1Nome->Size();
    if (const TField* source = fileField(food, kSourceField))
        card.fonte = AnsiString(StoredField(food, source).text(row.data));
    const TField* mancanti = missingField(calc);
    card.unknownAllowed = mancanti != nullptr;
    const MissingValues missing(mancanti ? AnsiString(StoredField(food, mancanti).text(row.data))
                                         : AnsiString());
    for (const Nutrient& n : kNutrients) {
        const TField* field = fileField(food, n.field);
        if (!field || field->DataType() != ftFloat)
            continue;
        FoodCardValue value;
        value.field = n.field;
        value.heading = n.heading;
        value.unit = n.unit;
        value.known = !missing.lists(n.field);
        if (value.known) {
            value.value = StoredField(food, field).number(row.data);
            value.text = valueText(value.value);
        }
        card.values.push_back(value);
    }
    if (!hasOtherValues(food))
        card.note = cardmsg::OnlyGridValues;
    return card;
}

[[noreturn]] void refuse(const AnsiString& message, int where) {
    throw FoodCardRefusal(message, where);
}

bool valueChanged(const FoodCardValue& was, const FoodCardValue& now) {
    return was.known != now.known || (now.known && !(was.value == now.value));
}

int indexOf(const std::vector<FoodCardValue>& values, const char* field) {
    for (size_t i = 0; i < values.size(); ++i)
        if (ansiSameText(values[i].field, field))
            return static_cast<int>(i);
    return -1;
}

// The row's place in the food table's stored records, or none when it is no longer there.
bool stillStored(const TZerovTable& food, const RecordEntry* row) {
    bool found = false;
    forEachStoredRecord(food, [&](const RecordEntry& e) { found = found || &e == row; });
    return found;
}

void writeRow(RecipeCalculator& calc, const FoodCardRow& row, const FoodCardChecked& checked) {
    TZerovTable& food = *calc.Table1;
    settleFoodTable(calc);
    if (!stillStored(food, row.entry))
        databaseError(cardmsg::RowGone);

    // The names of the unknown values, those of fields the card does not offer kept.
    const TField* mancanti = missingField(calc);
    MissingValues missing(mancanti ? AnsiString(StoredField(food, mancanti).text(row.entry->data))
                                   : AnsiString());
    const std::vector<AnsiString> order = calc.foodFieldNames();
    for (const FoodCardValue& v : checked.values)
        missing.set(v.field, !v.known, order);
    if (mancanti && missing.text().size() > static_cast<size_t>(mancanti->Size()))
        databaseError(
            formatText(cardmsg::MissingTooLong, missing.text().c_str(), mancanti->Size()));

    const TBookmark bookmark = row.entry;
    const bool lift = food.Filtered() && !food.bookmarkValid(bookmark);
    if (lift)
        food.setFiltered(false);
    runThenAlways(
        [&] {
            if (!food.bookmarkValid(bookmark))
                databaseError(cardmsg::RowGone);
            food.gotoBookmark(bookmark);
            food.beginEdit();
            try {
                if (checked.gruppo != row.card.gruppo)
                    calc.Table1Gruppo->setStringValue(checked.gruppo);
                if (checked.nome != row.card.nome)
                    calc.Table1Nome->setStringValue(checked.nome);
                for (size_t i = 0; i < checked.values.size(); ++i) {
                    const FoodCardValue& now = checked.values[i];
                    if (!valueChanged(row.card.values[i], now))
                        continue;
                    TField* field = food.fieldByName(now.field);
                    if (now.known)
                        field->setFloatValue(now.value);
                    else
                        field->clearValue();
                }
                // Last: a value of the window's set above takes itself off the list.
                if (calc.Table1Mancanti && mancanti)
                    calc.Table1Mancanti->setStringValue(missing.text());
                food.postRecord();
            } catch (...) {
                if (food.State() == stateEdit)
                    food.cancelRecord();
                throw;
            }
        },
        [&] {
            if (lift && !food.Filtered())
                food.setFiltered(true);
        });
}

} // namespace

FoodCardRow currentFoodRow(RecipeCalculator& calc) {
    if (!calc.Table1->Active())
        databaseError(cardmsg::NotOpen);
    settleFoodTable(calc);
    const TZerovTable& food = *calc.Table1;
    if (food.hasNoRecords())
        databaseError(cardmsg::NoRow);
    const auto* entry = static_cast<const RecordEntry*>(food.getBookmark());
    if (!entry || !entry->data)
        databaseError(cardmsg::NoRow);
    return {entry, readCard(calc, *entry)};
}

std::optional<FoodCardRow> findFoodRow(RecipeCalculator& calc, const AnsiString& gruppo,
                                       const AnsiString& nome) {
    if (!calc.Table1->Active())
        databaseError(cardmsg::NotOpen);
    settleFoodTable(calc);
    const FoodSlots s = foodSlots(calc);
    const RecordEntry* found = nullptr;
    forEachStoredRecord(*calc.Table1, [&](const RecordEntry& e) {
        if (!found && s.nome.text(e.data) == std::string_view(nome) &&
            s.gruppo.text(e.data) == std::string_view(gruppo))
            found = &e;
    });
    if (!found)
        return std::nullopt;
    return FoodCardRow{found, readCard(calc, *found)};
}

FoodCardChecked checkFoodCard(const FoodCard& card, const FoodCardTyped& typed) {
    if (typed.values.size() != card.values.size())
        throw std::logic_error("The typed food card does not match the card shown");
    FoodCardChecked checked{typed.gruppo, typed.nome, card.values, false, {}};
    if (typed.gruppo.size() > static_cast<size_t>(card.gruppoSize))
        refuse(formatText(cardmsg::GroupTooLong, static_cast<int>(typed.gruppo.size()),
                          card.gruppoSize),
               FoodCardRefusal::group);
    if (blank(typed.nome))
        refuse(cardmsg::NameEmpty, FoodCardRefusal::name);
    if (typed.nome.size() > static_cast<size_t>(card.nomeSize))
        refuse(formatText(cardmsg::NameTooLong, static_cast<int>(typed.nome.size()), card.nomeSize),
               FoodCardRefusal::name);
    checked.changed = typed.gruppo != card.gruppo || typed.nome != card.nome;

    for (size_t i = 0; i < card.values.size(); ++i) {
        const FoodCardValue& was = card.values[i];
        const FoodCardTypedValue& t = typed.values[i];
        FoodCardValue& now = checked.values[i];
        const int where = static_cast<int>(i);
        if (t.unknown) {
            if (!card.unknownAllowed)
                refuse(formatText(cardmsg::UnknownRefused, was.heading), where);
            now.known = false;
            now.value = 0;
            now.text.clear();
        } else if (was.known && t.text == was.text) {
            // As shown: the value stays exactly as stored.
        } else if (blank(t.text)) {
            if (card.unknownAllowed)
                refuse(formatText(cardmsg::Empty, was.heading), where);
            now.known = true;
            now.value = 0;
            now.text = valueText(0);
        } else {
            double v = 0;
            if (!tryParseFloat(t.text, v) || !std::isfinite(v))
                refuse(formatText(cardmsg::NotANumber, was.heading, t.text.c_str()), where);
            if (v < 0)
                refuse(formatText(cardmsg::Negative, was.heading), where);
            now.known = true;
            now.value = v;
            now.text = valueText(v);
        }
        checked.changed = checked.changed || valueChanged(was, now);
    }

    for (const PartOfWhole& p : kParts) {
        const int part = indexOf(checked.values, p.part);
        const int whole = indexOf(checked.values, p.whole);
        if (part < 0 || whole < 0)
            continue;
        const FoodCardValue& a = checked.values[static_cast<size_t>(part)];
        const FoodCardValue& b = checked.values[static_cast<size_t>(whole)];
        const bool touched = valueChanged(card.values[static_cast<size_t>(part)], a) ||
                             valueChanged(card.values[static_cast<size_t>(whole)], b);
        if (a.known && b.known && a.value > b.value && touched)
            checked.questions.push_back(
                formatText(p.question, valueText(a.value).c_str(), valueText(b.value).c_str()));
    }
    return checked;
}

FoodCardOutcome saveFoodCard(RecipeCalculator& calc, const FoodCardRow& row,
                             const FoodCardTyped& typed) {
    const FoodCardChecked checked = checkFoodCard(row.card, typed);
    if (!checked.changed)
        return FoodCardOutcome::unchanged;
    for (const AnsiString& question : checked.questions)
        if (!askYesNo(question, false))
            return FoodCardOutcome::declined;
    writeRow(calc, row, checked);
    return FoodCardOutcome::written;
}

} // namespace cibrano

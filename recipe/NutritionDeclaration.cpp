#include "recipe/NutritionDeclaration.h"

#include "platform/DatabaseError.h"
#include "platform/Format.h"
#include "recipe/DeclarationRounding.h"

#include <cmath>
#include <cstdio>

namespace cibrano {

namespace {

// How far the energy found again from the nutrients may be from the summed one.
constexpr double kEnergyTolerance = 0.05;
// The most foods a sentence names before "e altri N".
constexpr size_t kNamedFoods = 4;

DeclarationRounding roundingOf(size_t nutrient) {
    switch (nutrient) {
    case nKjoule:
    case nKcalorie:
        return DeclarationRounding::Energy;
    case nSaturi:
        return DeclarationRounding::Saturates;
    case nSale:
        return DeclarationRounding::Salt;
    default:
        return DeclarationRounding::Nutrient;
    }
}

const char* unitOf(size_t nutrient) {
    return nutrient == nKcalorie ? "kcal" : kNutrients[nutrient].unit;
}

// Grams as a heading or a note gives them: whole when they are, else to 0.1 g.
AnsiString gramsText(double grams, char decimalSeparator) {
    const double tenths = std::round(grams * 10) / 10;
    char text[64];
    if (tenths == std::round(tenths))
        std::snprintf(text, sizeof text, "%.0f", tenths);
    else
        std::snprintf(text, sizeof text, "%.1f", tenths);
    AnsiString out = text;
    for (char& c : out)
        if (c == '.')
            c = decimalSeparator;
    return out;
}

// "Burro, Panna e altri 3".
AnsiString foodNames(const std::vector<const RecipeLine*>& lines) {
    AnsiString names;
    for (size_t k = 0; k < lines.size() && k < kNamedFoods; ++k)
        names += (k ? ", " : "") + lines[k]->Nome;
    if (lines.size() > kNamedFoods)
        names += formatText(" e altri %d", static_cast<int>(lines.size() - kNamedFoods));
    return names;
}

AnsiString ingredientCount(size_t count) {
    return formatText("%d %s", static_cast<int>(count), count == 1 ? "ingrediente" : "ingredienti");
}

// What the lines lack of one nutrient, as the book says it, without its heading: "manca il
// dato di 2 ingredienti (Farina, Uova)".
AnsiString lackingText(const std::vector<AnsiString>& missing, size_t nutrient) {
    const AnsiString prefix = AnsiString(kNutrients[nutrient].heading) + ": ";
    for (const AnsiString& m : missing)
        if (m.rfind(prefix, 0) == 0)
            return m.substr(prefix.size());
    return AnsiString();
}

class Builder {
public:
    Builder(const std::vector<RecipeLine>& lines, const RecipeValues& values, char separator)
        : lines_(lines), values_(values), separator_(separator),
          missing_(missingValuesTexts(lines)) {}

    // A value's text: rounded, marked when incomplete, n.d. when no line knows it.
    AnsiString valueText(const NutrientTotals& totals, size_t nutrient) const {
        if (totals.unknown(nutrient))
            return kNotKnown;
        const AnsiString text = declaredValueText(roundingOf(nutrient), totals.amount[nutrient],
                                                  unitOf(nutrient), separator_);
        return totals.complete(nutrient) ? text : text + kIncompleteMark;
    }
    AnsiString intakeText(const DeclarationItem& item) const {
        const NutrientTotals& t = values_.perServing;
        if (item.referenceIntake <= 0 || t.unknown(item.nutrient))
            return AnsiString();
        const AnsiString text = referenceIntakeText(t.amount[item.nutrient], item.referenceIntake);
        return t.complete(item.nutrient) ? text : text + kIncompleteMark;
    }

    DeclarationRow row(const DeclarationItem& item) const {
        const NutrientTotals& per100g = *values_.per100g;
        DeclarationRow r{&item,
                         valueText(per100g, item.nutrient),
                         valueText(values_.perServing, item.nutrient),
                         intakeText(item),
                         "",
                         "",
                         per100g.complete(item.nutrient)};
        if (item.nutrient == nKjoule) {
            r.per100gKcal = valueText(per100g, nKcalorie);
            r.perPortionKcal = valueText(values_.perServing, nKcalorie);
            r.complete = r.complete && per100g.complete(nKcalorie);
        }
        return r;
    }

    void checkMissing(NutritionDeclaration& d) const {
        const NutrientTotals& t = values_.totals;
        for (const DeclarationItem& item : kDeclarationItems) {
            if (item.voluntary) {
                if (!t.complete(item.nutrient))
                    d.notes.push_back(formatText("%s non dichiarate: %s.", item.text,
                                                 lackingText(missing_, item.nutrient).c_str()));
                continue;
            }
            if (item.nutrient == nKjoule) {
                for (size_t n : {nKjoule, nKcalorie})
                    if (!t.complete(n))
                        d.warnings.push_back(formatText("Dichiarazione incompleta: %s (%s), %s.",
                                                        item.text, unitOf(n),
                                                        lackingText(missing_, n).c_str()));
            } else if (!t.complete(item.nutrient)) {
                d.warnings.push_back(formatText("Dichiarazione incompleta: %s, %s.", item.text,
                                                lackingText(missing_, item.nutrient).c_str()));
            }
        }
        d.complete = d.warnings.empty();
    }

    // A part above its whole in a food's own values.
    void checkParts(NutritionDeclaration& d) const {
        struct Part {
            size_t part, whole;
            const char* sentence;
        };
        const Part parts[] = {
            {nSaturi, nLipidi, "Gli acidi grassi saturi superano i grassi in %s (%s)"},
            {nZuccheri, nGlucidi, "Gli zuccheri superano i carboidrati in %s (%s)"}};
        for (const Part& p : parts) {
            std::vector<const RecipeLine*> faulty;
            for (const RecipeLine& line : lines_)
                if (line.knows(p.part) && line.knows(p.whole) &&
                    line.values[p.part] > line.values[p.whole])
                    faulty.push_back(&line);
            if (!faulty.empty())
                d.warnings.push_back(formatText(p.sentence, ingredientCount(faulty.size()).c_str(),
                                                foodNames(faulty).c_str()) +
                                     ": un errore nei dati degli alimenti.");
        }
    }

    // A value below 0 (lines of negative grams outweighing the rest) has no rounding rule:
    // it is said, not written as if it were small.
    void checkNegative(NutritionDeclaration& d) const {
        for (const DeclarationItem& item : kDeclarationItems)
            for (size_t n : {item.nutrient, item.nutrient == nKjoule ? nKcalorie : item.nutrient})
                if (values_.totals.amount[n] < 0) {
                    d.warnings.push_back(formatText(
                        "%s: la somma degli ingredienti \xE8 negativa (quantit\xE0 negative nella "
                        "ricetta): il valore dichiarato non \xE8 valido.",
                        item.text));
                    break;
                }
    }

    // The energy found again from the declared nutrients with the factors of Annex XIV.
    void checkEnergy(NutritionDeclaration& d) const {
        const NutrientTotals& t = *values_.per100g;
        for (size_t n : {nKjoule, nKcalorie, nGlucidi, nLipidi, nProteine})
            if (!t.complete(n))
                return;
        double kj = 0, kcal = 0;
        for (size_t n = 0; n < kNutrientCount; ++n) {
            kj += kNutrients[n].kjPerGram * t.amount[n];
            kcal += kNutrients[n].kcalPerGram * t.amount[n];
        }
        auto differs = [](double found, double summed) {
            return std::fabs(found - summed) > kEnergyTolerance * std::fabs(summed) ||
                   (summed == 0 && found != 0);
        };
        if (!differs(kj, t.amount[nKjoule]) && !differs(kcal, t.amount[nKcalorie]))
            return;
        auto energy = [&](double kjValue, double kcalValue) {
            return declaredValueText(DeclarationRounding::Energy, kjValue, "kJ", separator_) + "/" +
                   declaredValueText(DeclarationRounding::Energy, kcalValue, "kcal", separator_);
        };
        d.warnings.push_back(formatText(
            "L'energia calcolata dai nutrienti con i fattori del Reg. (UE) 1169/2011 (%s per "
            "100 g) differisce di oltre il 5 %% da quella degli ingredienti (%s).",
            energy(kj, kcal).c_str(), energy(t.amount[nKjoule], t.amount[nKcalorie]).c_str()));
    }

private:
    const std::vector<RecipeLine>& lines_;
    const RecipeValues& values_;
    char separator_;
    std::vector<AnsiString> missing_;
};

AnsiString linearForm(const std::vector<DeclarationRow>& rows) {
    AnsiString text = "Valori nutrizionali medi per 100 g: ";
    for (size_t i = 0; i < rows.size(); ++i) {
        const DeclarationRow& r = rows[i];
        if (i > 0)
            text += r.item->partOf ? ", " : "; ";
        text += AnsiString(r.item->linearText) + " " + r.per100g;
        if (r.item->nutrient == nKjoule)
            text += "/" + r.per100gKcal;
    }
    return text;
}

} // namespace

NutritionDeclaration nutritionDeclaration(const AnsiString& recipeName,
                                          const std::vector<RecipeLine>& lines, int servings,
                                          double finalWeight, char decimalSeparator) {
    if (lines.empty())
        databaseError(formatText("La ricetta \"%s\" non ha ingredienti: non c'\xE8 una "
                                 "dichiarazione nutrizionale da fare.",
                                 recipeName.c_str()));
    const RecipeValues values = recipeValues(lines, servings, finalWeight);
    if (!values.per100g || values.weight() <= 0)
        databaseError(formatText("Il peso della ricetta \"%s\" non \xE8 maggiore di 0 g: i valori "
                                 "per 100 g non si possono calcolare. Indicare il peso finale.",
                                 recipeName.c_str()));

    NutritionDeclaration d;
    d.recipeName = recipeName;
    d.portionWeight = values.servingWeight();
    d.perPortionHeading =
        formatText("per porzione (%s g)", gramsText(d.portionWeight, decimalSeparator).c_str());
    const Builder builder(lines, values, decimalSeparator);
    for (const DeclarationItem& item : kDeclarationItems)
        if (!item.voluntary || values.totals.complete(item.nutrient))
            d.rows.push_back(builder.row(item));
    builder.checkMissing(d);
    builder.checkParts(d);
    builder.checkEnergy(d);
    builder.checkNegative(d);

    if (!d.complete)
        d.notes.push_back(incompleteTotalsNote());
    if (finalWeight <= 0)
        d.notes.push_back(formatText("Peso finale non indicato: si usa la somma dei grammi degli "
                                     "ingredienti (%s g).",
                                     gramsText(values.grams, decimalSeparator).c_str()));
    if (servings < 1)
        d.notes.push_back("Porzioni non indicate: si conta una porzione.");
    d.linear = linearForm(d.rows);
    return d;
}

AnsiString declarationText(const NutritionDeclaration& d) {
    AnsiString text = AnsiString(kDeclarationHeading) + (d.complete ? "" : " (incompleta)") + "\n";
    text += AnsiString("\t") + kPer100gHeading + "\t" + d.perPortionHeading + "\t" +
            kReferenceIntakeHeading + "\n";
    for (const DeclarationRow& r : d.rows) {
        const bool energy = r.item->nutrient == nKjoule;
        text += AnsiString(r.item->text) + "\t" + r.per100g +
                (energy ? " / " + r.per100gKcal : "") + "\t" + r.perPortion +
                (energy ? " / " + r.perPortionKcal : "") + "\t" + r.referenceIntake + "\n";
    }
    text += AnsiString(kReferenceIntakeNote) + "\n";
    text += d.linear + "\n";
    for (const AnsiString& w : d.warnings)
        text += kWarningPrefix + w + "\n";
    for (const AnsiString& n : d.notes)
        text += kNotePrefix + n + "\n";
    return text;
}

} // namespace cibrano

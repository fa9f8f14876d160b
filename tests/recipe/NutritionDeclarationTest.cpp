// The nutrition declaration of a recipe: a shortbread worked out on paper from its four
// ingredients (per 100 g, per portion, %AR, the linear form, the text), what is said of an
// incomplete or inconsistent one, and the weight and servings assumed when none are kept.

#include "recipe/NutritionDeclaration.h"

#include "tests/platform/ErrorMessage.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace cibrano {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;

// Per 100 g: kcal, carbohydrate, fat, protein, kJ, sugars, saturates, fibre, salt.
std::vector<RecipeLine> shortbread() {
    return {{"Cereali", "Farina", 500, {340, 70, 1.5, 11, 1440, 1.5, 0.25, 3, 0.01}, {}},
            {"Grassi", "Burro", 200, {740, 0.5, 82, 0.7, 3040, 0.5, 52, 0, 0.05}, {}},
            {"Dolci", "Zucchero", 200, {400, 100, 0, 0, 1700, 100, 0, 0, 0}, {}},
            {"Uova", "Uova", 100, {140, 0.5, 10, 12.5, 580, 0.5, 3, 0, 0.35}, {}}};
}

struct Expected {
    const char* text;
    const char* per100g;
    const char* perPortion;
    const char* intake;
};

// 1000 g of ingredients baked to 800 g, 16 portions of 50 g. The whole: 17260 kJ, 4120 kcal,
// fat 181.5 g, saturates 108.25 g, carbohydrate 551.5 g, sugars 209 g, fibre 15 g, protein
// 68.9 g, salt 0.5 g. Per 100 g (an eighth): 2157.5 kJ, 515 kcal, 22.6875, 13.53125, 68.9375,
// 26.125, 1.875, 8.6125, 0.0625. Per portion (a sixteenth): 1078.75 kJ (12.84 % of 8400),
// 257.5 kcal, fat 11.34375 (16.2 % of 70), saturates 6.765625 (33.8 % of 20), carbohydrate
// 34.46875 (13.3 % of 260), sugars 13.0625 (14.5 % of 90), fibre 0.9375, protein 4.30625
// (8.6 % of 50), salt 0.03125 (0.52 % of 6).
const Expected kShortbread[] = {{"Energia", "2158 kJ", "1079 kJ", "13 %"},
                                {"Grassi", "23 g", "11 g", "16 %"},
                                {"di cui acidi grassi saturi", "14 g", "6,8 g", "34 %"},
                                {"Carboidrati", "69 g", "34 g", "13 %"},
                                {"di cui zuccheri", "26 g", "13 g", "15 %"},
                                {"Fibre", "1,9 g", "0,9 g", ""},
                                {"Proteine", "8,6 g", "4,3 g", "9 %"},
                                {"Sale", "0,06 g", "0,03 g", "1 %"}};

TEST(NutritionDeclaration, AShortbreadWorkedOutByHand) {
    const NutritionDeclaration d = nutritionDeclaration("Frollini", shortbread(), 16, 800, ',');
    EXPECT_TRUE(d.complete);
    EXPECT_TRUE(d.warnings.empty());
    EXPECT_TRUE(d.notes.empty());
    EXPECT_EQ(d.perPortionHeading, "per porzione (50 g)");
    ASSERT_EQ(d.rows.size(), 8u);
    for (size_t i = 0; i < 8; ++i) {
        SCOPED_TRACE(kShortbread[i].text);
        EXPECT_STREQ(d.rows[i].item->text, kShortbread[i].text);
        EXPECT_EQ(d.rows[i].per100g, kShortbread[i].per100g);
        EXPECT_EQ(d.rows[i].perPortion, kShortbread[i].perPortion);
        EXPECT_EQ(d.rows[i].referenceIntake, kShortbread[i].intake);
    }
    EXPECT_EQ(d.rows[0].per100gKcal, "515 kcal");
    EXPECT_EQ(d.rows[0].perPortionKcal, "258 kcal"); // 257.5, away from zero
    EXPECT_EQ(d.linear, "Valori nutrizionali medi per 100 g: energia 2158 kJ/515 kcal; grassi "
                        "23 g, di cui acidi grassi saturi 14 g; carboidrati 69 g, di cui "
                        "zuccheri 26 g; fibre 1,9 g; proteine 8,6 g; sale 0,06 g");

    // The user's separator everywhere, the portion's weight included.
    const NutritionDeclaration dot = nutritionDeclaration("Frollini", shortbread(), 3, 800, '.');
    EXPECT_EQ(dot.perPortionHeading, "per porzione (266.7 g)");
    EXPECT_EQ(dot.rows[6].per100g, "8.6 g");
}

TEST(NutritionDeclaration, TheTextIsOneRowALineWithTabsThenTheLinearForm) {
    const AnsiString text =
        declarationText(nutritionDeclaration("Frollini", shortbread(), 16, 800, ','));
    EXPECT_EQ(text, "Dichiarazione nutrizionale\n"
                    "\tper 100 g\tper porzione (50 g)\t%AR*\n"
                    "Energia\t2158 kJ / 515 kcal\t1079 kJ / 258 kcal\t13 %\n"
                    "Grassi\t23 g\t11 g\t16 %\n"
                    "di cui acidi grassi saturi\t14 g\t6,8 g\t34 %\n"
                    "Carboidrati\t69 g\t34 g\t13 %\n"
                    "di cui zuccheri\t26 g\t13 g\t15 %\n"
                    "Fibre\t1,9 g\t0,9 g\t\n"
                    "Proteine\t8,6 g\t4,3 g\t9 %\n"
                    "Sale\t0,06 g\t0,03 g\t1 %\n"
                    "* Assunzioni di riferimento di un adulto medio (8 400 kJ/2 000 kcal)\n"
                    "Valori nutrizionali medi per 100 g: energia 2158 kJ/515 kcal; grassi 23 g, "
                    "di cui acidi grassi saturi 14 g; carboidrati 69 g, di cui zuccheri 26 g; "
                    "fibre 1,9 g; proteine 8,6 g; sale 0,06 g\n");
}

TEST(NutritionDeclaration, AMandatoryValueMissingMakesItIncompleteAndSaysWhere) {
    std::vector<RecipeLine> lines = shortbread();
    lines[3].missing.set(nZuccheri);
    lines[1].missing.set(nKjoule);
    lines[3].missing.set(nSale);
    lines[2].missing.set(nSale);
    const NutritionDeclaration d = nutritionDeclaration("Frollini", lines, 16, 800, ',');
    EXPECT_FALSE(d.complete);
    EXPECT_THAT(d.warnings,
                ElementsAre("Dichiarazione incompleta: Energia (kJ), manca il dato di 1 "
                            "ingrediente (Burro).",
                            "Dichiarazione incompleta: di cui zuccheri, manca il dato di 1 "
                            "ingrediente (Uova).",
                            "Dichiarazione incompleta: Sale, manca il dato di 2 ingredienti "
                            "(Zucchero, Uova)."));
    // Never shown as complete: the known part marked, the whole text headed so.
    EXPECT_EQ(d.rows[0].per100g, "1398 kJ+"); // (17260 - 6080) / 8
    EXPECT_EQ(d.rows[0].per100gKcal, "515 kcal");
    EXPECT_EQ(d.rows[4].per100g, "26 g+");
    EXPECT_EQ(d.rows[4].referenceIntake, "14 %+"); // 208.5 / 16 of 90 g: 14.48 %
    EXPECT_EQ(d.rows[7].per100g, "0,02 g+");       // 0.15 g in 800 g
    const AnsiString text = declarationText(d);
    EXPECT_THAT(text, HasSubstr("Dichiarazione nutrizionale (incompleta)\n"));
    EXPECT_THAT(text, HasSubstr("\nAttenzione: Dichiarazione incompleta: Sale, manca"));
    EXPECT_THAT(text, HasSubstr("\nNota: + dopo un totale: somma dei valori noti"));

    // A value no line knows is not known, and has no share.
    for (RecipeLine& line : lines)
        line.missing.set(nSale);
    const NutritionDeclaration none = nutritionDeclaration("Frollini", lines, 16, 800, ',');
    EXPECT_EQ(none.rows[7].per100g, "n.d.");
    EXPECT_EQ(none.rows[7].referenceIntake, "");
}

TEST(NutritionDeclaration, FibreIsLeftOutWhenAnyLineLacksIt) {
    std::vector<RecipeLine> lines = shortbread();
    lines[1].missing.set(nFibre);
    const NutritionDeclaration d = nutritionDeclaration("Frollini", lines, 16, 800, ',');
    EXPECT_TRUE(d.complete);
    ASSERT_EQ(d.rows.size(), 7u);
    EXPECT_STREQ(d.rows[5].item->text, "Proteine");
    EXPECT_THAT(d.notes,
                ElementsAre("Fibre non dichiarate: manca il dato di 1 ingrediente (Burro)."));
    EXPECT_THAT(d.linear, HasSubstr("di cui zuccheri 26 g; proteine 8,6 g"));
}

TEST(NutritionDeclaration, FaultsOfTheFoodDataArePointedOut) {
    std::vector<RecipeLine> lines = shortbread();
    lines[1].values[nSaturi] = 90;   // above its 82 g of fat
    lines[3].values[nZuccheri] = 1;  // above its 0.5 g of carbohydrate
    lines[2].values[nKcalorie] = 40; // a tenth of sugar's energy
    lines[2].values[nKjoule] = 170;
    const NutritionDeclaration d = nutritionDeclaration("Frollini", lines, 16, 800, ',');
    EXPECT_TRUE(d.complete);
    // Per 100 g: 2157.5 - 3400/8 + 340/8 = 1775 kJ and 515 - 800/8 + 80/8 = 425 kcal
    // summed, against about 2173 kJ and 518 kcal from the nutrients.
    EXPECT_THAT(d.warnings,
                ElementsAre("Gli acidi grassi saturi superano i grassi in 1 ingrediente "
                            "(Burro): un errore nei dati degli alimenti.",
                            "Gli zuccheri superano i carboidrati in 1 ingrediente (Uova): un "
                            "errore nei dati degli alimenti.",
                            "L'energia calcolata dai nutrienti con i fattori del Reg. (UE) "
                            "1169/2011 (2173 kJ/518 kcal per 100 g) differisce di oltre il 5 % "
                            "da quella degli ingredienti (1775 kJ/425 kcal)."));

    // A value below 0 is no small value.
    lines = shortbread();
    lines.push_back({"Altro", "Sale tolto", -10, {0, 0, 0, 0, 0, 0, 0, 0, 10}, {}});
    EXPECT_THAT(nutritionDeclaration("Frollini", lines, 16, 800, ',').warnings,
                ElementsAre("Sale: la somma degli ingredienti \xE8 negativa (quantit\xE0 "
                            "negative nella ricetta): il valore dichiarato non \xE8 valido."));

    // Within 5 % nothing is said: 2172.8 kJ found, 2080 kJ summed is 4.5 % off.
    lines = shortbread();
    lines[0].values[nKjoule] = 1440 - (2157.5 - 2080) * 8 / 5;
    EXPECT_TRUE(nutritionDeclaration("Frollini", lines, 16, 800, ',').warnings.empty());
}

TEST(NutritionDeclaration, WithoutWeightOrServingsItSaysWhatItAssumed) {
    const NutritionDeclaration d = nutritionDeclaration("Frollini", shortbread(), 0, 0, ',');
    EXPECT_EQ(d.perPortionHeading, "per porzione (1000 g)");
    EXPECT_EQ(d.rows[0].per100g, "1726 kJ");
    EXPECT_EQ(d.rows[0].perPortion, "17260 kJ");
    EXPECT_THAT(d.notes, ElementsAre("Peso finale non indicato: si usa la somma dei grammi "
                                     "degli ingredienti (1000 g).",
                                     "Porzioni non indicate: si conta una porzione."));

    EXPECT_THAT(testkit::messageOf([] { nutritionDeclaration("Vuota", {}, 1, 0, ','); }),
                HasSubstr("La ricetta \"Vuota\" non ha ingredienti"));
    std::vector<RecipeLine> nothing = shortbread();
    nothing[0].Quantita = -500; // with the other 500 g: nothing
    EXPECT_THAT(testkit::messageOf([&] { nutritionDeclaration("Zero", nothing, 1, 0, ','); }),
                HasSubstr("non \xE8 maggiore di 0 g"));
}

} // namespace
} // namespace cibrano

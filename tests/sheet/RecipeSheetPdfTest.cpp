// The recipe sheet read from the outside, as its readers get it: the PDF's text through
// poppler's pdftotext, its first page as pixels through pdftoppm. One rendered page is kept in
// the build's test artifacts (test-artifacts/scheda-pagina-1.png) to be looked at.

#include "platform/Files.h"
#include "platform/RegionalSettings.h"
#include "recipe/RecipeBook.h"
#include "recipe/RecipeEnergy.h"
#include "recipe/RecipeSheetData.h"
#include "sheet/SheetPdf.h"
#include "tests/platform/ErrorMessage.h"
#include "tests/platform/TempDir.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <array>
#include <cstdlib>
#include <filesystem>
#include <sstream>

namespace cibrano {
namespace {

using ::testing::HasSubstr;

bool havePoppler() {
    return std::system("command -v pdftotext >/dev/null 2>&1 && command -v pdftoppm "
                       ">/dev/null 2>&1") == 0;
}

// The Italian separators: "1.234,5".
class ItalianSeparators {
public:
    ItalianSeparators() : saved_(regional()) {
        RegionalSettings r;
        r.decimalSeparator = ',';
        r.thousandSeparator = '.';
        r.shortDateFormat = "dd/mm/yyyy";
        setRegional(r);
    }
    ~ItalianSeparators() { setRegional(saved_); }

private:
    RegionalSettings saved_;
};

RecipeSheetData pastaSheet() {
    RecipeInfo info;
    info.Nome = "Pasta al rag\xF9 della nonna";
    info.Porzioni = 4;
    info.Modificata = 46000.5; // 09/12/2025
    return recipeSheet(info, {{"Cereali", "Pasta di semola", 320, {353, 79.1, 1.4, 10.9}, {}},
                              {"Verdure", "Pomodori pelati", 400, {22, 3, 0.2, 1.2}, {}},
                              {"Grassi", "Olio d'oliva", 30, {899, 0, 99.9, 0}, {}},
                              {"Carni", "Manzo macinato", 250, {250, 0, 17, 26}, {}},
                              {"Formaggi", "Parmigiano", 40, {392, 0, 28.1, 33.5}, {}}});
}

class RecipeSheetPdf : public ::testing::Test {
protected:
    void SetUp() override {
        if (!havePoppler())
            GTEST_SKIP() << "pdftotext and pdftoppm (poppler-utils) are not installed";
    }
    std::string pdfOf(const RecipeSheetData& sheet, const std::string& name = "scheda.pdf") {
        const std::string path = dir.file(name);
        writeRecipeSheetPdf(sheet, path);
        return path;
    }
    // The text of the PDF, laid out as on the page.
    std::string textOf(const std::string& pdf) {
        const std::string out = dir.file("text.txt");
        EXPECT_EQ(std::system(("pdftotext -layout '" + pdf + "' '" + out + "'").c_str()), 0);
        return readWholeFile(out).value_or("");
    }
    int pagesOf(const std::string& text) {
        // pdftotext ends every page with a form feed.
        return static_cast<int>(std::count(text.begin(), text.end(), '\f'));
    }

    testkit::TempDir dir;
};

// "<utf-8>" of an 8-bit text.
std::string u(const AnsiString& s) {
    return ansiToUtf8(s);
}

TEST_F(RecipeSheetPdf, ItsTextHoldsTheNameEveryIngredientAndTheTotalsAsFormatted) {
    ItalianSeparators separators;
    const RecipeSheetData sheet = pastaSheet();
    const std::string text = textOf(pdfOf(sheet));
    EXPECT_THAT(text, HasSubstr("Scheda nutrizionale"));
    EXPECT_THAT(text, HasSubstr("Pasta al rag\xC3\xB9 della nonna"));
    EXPECT_THAT(text, HasSubstr("Porzioni: 4"));
    EXPECT_THAT(text, HasSubstr("09/12/2025"));
    for (const RecipeLine& line : sheet.lines) {
        EXPECT_THAT(text, HasSubstr(u(line.Gruppo)));
        EXPECT_THAT(text, HasSubstr(u(line.Nome)));
        EXPECT_THAT(text, HasSubstr(u(formatRecipeValue(line.Quantita))));
    }
    const RecipeValues& v = sheet.values;
    ASSERT_TRUE(v.per100g);
    for (const NutrientTotals* t : {&v.totals, &v.perServing, &*v.per100g})
        for (const AnsiString& value : shownTotalsTexts(*t))
            EXPECT_THAT(text, HasSubstr(u(value)));
    // The separators are the user's: 1.040 g in all, 2.269,1 kcal for the recipe.
    EXPECT_THAT(text, HasSubstr("Ricetta (1.040,0 g)"));
    EXPECT_THAT(text, HasSubstr("2.269,1"));
    const EnergySplit split = energySplit(v.totals);
    EXPECT_THAT(text, HasSubstr(u(formatShare(split.carbsShare))));
    EXPECT_THAT(text, HasSubstr(u(formatShare(split.proteinsShare))));
    EXPECT_THAT(text, HasSubstr(u(formatShare(split.fatsShare))));
    EXPECT_THAT(text, HasSubstr("Fattori usati"));
    EXPECT_THAT(text, HasSubstr("glucidi 4"));
    EXPECT_THAT(text, HasSubstr("proteine 4"));
    EXPECT_THAT(text, HasSubstr("Cibrano"));
    EXPECT_THAT(text, HasSubstr("Pagina 1 di 1"));
    EXPECT_EQ(pagesOf(text), 1);
    // Within 10 % of the table's kilocalories: no remark.
    EXPECT_THAT(text, ::testing::Not(HasSubstr("controllare i valori")));
}

// The pixels of a binary PPM (P6) image.
struct Image {
    int width = 0, height = 0;
    std::string rgb;
};

Image readPpm(const std::string& path) {
    Image image;
    const std::string bytes = readWholeFile(path).value_or("");
    std::istringstream in(bytes);
    std::string magic;
    int maxValue = 0;
    in >> magic >> image.width >> image.height >> maxValue;
    in.get();
    if (magic != "P6" || maxValue != 255)
        return Image();
    image.rgb = bytes.substr(static_cast<size_t>(in.tellg()));
    return image;
}

// How many pixels are within a few steps of each of the colours.
std::vector<long> countColours(const Image& image, const std::vector<std::array<int, 3>>& colours) {
    std::vector<long> counts(colours.size());
    const size_t n = std::min(image.rgb.size() / 3, size_t(image.width) * image.height);
    for (size_t p = 0; p < n; ++p) {
        const auto* px = reinterpret_cast<const unsigned char*>(image.rgb.data() + 3 * p);
        for (size_t c = 0; c < colours.size(); ++c)
            if (std::abs(px[0] - colours[c][0]) <= 6 && std::abs(px[1] - colours[c][1]) <= 6 &&
                std::abs(px[2] - colours[c][2]) <= 6)
                ++counts[c];
    }
    return counts;
}

// The pie's colours: carbohydrates amber, proteins red, fats blue.
const std::vector<std::array<int, 3>> kPieColours = {{230, 159, 0}, {204, 51, 51}, {0, 114, 178}};

TEST_F(RecipeSheetPdf, ThePiesSectorsCoverTheComputedShares) {
    const RecipeSheetData sheet = pastaSheet();
    const std::string pdf = pdfOf(sheet);
    ASSERT_EQ(
        std::system(("pdftoppm -r 100 -f 1 -l 1 '" + pdf + "' '" + dir.file("page") + "'").c_str()),
        0);
    const Image page = readPpm(dir.file("page-1.ppm"));
    ASSERT_GT(page.width, 0);
    const std::vector<long> counts = countColours(page, kPieColours);
    const long all = counts[0] + counts[1] + counts[2];
    ASSERT_GT(all, 10000) << "the pie is missing or tiny";
    const EnergySplit split = energySplit(sheet.values.totals);
    EXPECT_NEAR(100.0 * counts[0] / all, split.carbsShare, 2);
    EXPECT_NEAR(100.0 * counts[1] / all, split.proteinsShare, 2);
    EXPECT_NEAR(100.0 * counts[2] / all, split.fatsShare, 2);

    // The page kept for a person to look at.
    const std::string artifacts = CIBRANO_BINARY_DIR "/test-artifacts";
    std::filesystem::create_directories(artifacts);
    EXPECT_EQ(std::system(("pdftoppm -png -r 110 -f 1 -l 1 -singlefile '" + pdf + "' '" +
                           artifacts + "/scheda-pagina-1'")
                              .c_str()),
              0);
}

TEST_F(RecipeSheetPdf, IngredientsRunOverOntoMorePagesUnderARepeatedHeading) {
    RecipeInfo info;
    info.Nome = "Minestrone di ottanta verdure";
    info.Porzioni = 12;
    std::vector<RecipeLine> lines;
    for (int i = 1; i <= 80; ++i)
        lines.push_back(
            {"Verdure", "Verdura numero " + std::to_string(i), 10.0 + i, {30, 5, 0.3, 2}, {}});
    // A long name wraps in its cell rather than being cut.
    lines[40].Nome = "Cavolo nero toscano a foglie lunghe, raccolto dopo la prima gelata";
    const std::string text = textOf(pdfOf(recipeSheet(info, lines)));
    const int pages = pagesOf(text);
    EXPECT_GE(pages, 2);
    EXPECT_THAT(text, HasSubstr("Ingredienti (continua)"));
    EXPECT_THAT(text,
                HasSubstr("Pagina " + std::to_string(pages) + " di " + std::to_string(pages)));
    for (int i = 1; i <= 80; ++i) {
        const std::string name = "Verdura numero " + std::to_string(i) + " ";
        EXPECT_TRUE(i == 41 || text.find(name) != std::string::npos) << name;
    }
    EXPECT_THAT(text, HasSubstr("Cavolo nero toscano"));
    EXPECT_THAT(text, HasSubstr("prima gelata"));
}

TEST_F(RecipeSheetPdf, NoGramsGiveDashesAndNoEnergyAnEmptyChartWithANote) {
    RecipeInfo info;
    info.Nome = "Acqua";
    const RecipeSheetData sheet = recipeSheet(info, {{"Bevande", "Acqua", 0.0, {0, 0, 0, 0}, {}}});
    const std::string pdf = pdfOf(sheet);
    const std::string text = textOf(pdf);
    EXPECT_THAT(text, HasSubstr("Per 100 g"));
    EXPECT_THAT(text, HasSubstr("\xE2\x80\x94")); // the dash
    EXPECT_THAT(text, HasSubstr("Nessuna energia da glucidi, proteine e lipidi"));
    ASSERT_EQ(
        std::system(("pdftoppm -r 100 -f 1 -l 1 '" + pdf + "' '" + dir.file("page") + "'").c_str()),
        0);
    // Only the legend's small squares carry the colours.
    const std::vector<long> counts = countColours(readPpm(dir.file("page-1.ppm")), kPieColours);
    for (long c : counts)
        EXPECT_LT(c, 300);
}

TEST_F(RecipeSheetPdf, ADifferenceFromTheTablesKilocaloriesIsSaidPlainly) {
    RecipeInfo info;
    info.Nome = "Misurata";
    // 100 g: 20 g carbohydrates, 10 g proteins, 10 g fats are 210 kcal by the factors; the
    // table says 150.
    const std::string text =
        textOf(pdfOf(recipeSheet(info, {{"Prove", "Alimento", 100, {150, 20, 10, 10}, {}}})));
    EXPECT_THAT(text, HasSubstr("210.0"));
    EXPECT_THAT(text, HasSubstr("40.0 % in pi"));
    EXPECT_THAT(text, HasSubstr("controllare i valori"));
}

TEST_F(RecipeSheetPdf, APdfThatCannotBeWrittenIsNamedAndLeavesNothing) {
    const std::string missing = dir.file("manca/scheda.pdf");
    EXPECT_THAT(testkit::messageOf([&] { writeRecipeSheetPdf(pastaSheet(), missing); }),
                HasSubstr(missing));
    EXPECT_EQ(dir.entryCount(), 0u);
    std::filesystem::create_directory(dir.file("scheda.pdf"));
    EXPECT_THAT(
        testkit::messageOf([&] { writeRecipeSheetPdf(pastaSheet(), dir.file("scheda.pdf")); }),
        HasSubstr("non si pu\xF2 scrivere"));
    EXPECT_EQ(dir.entryCount(), 1u);
}

} // namespace
} // namespace cibrano

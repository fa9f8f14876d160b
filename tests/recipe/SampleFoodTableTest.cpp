// The bundled sample food table: the alimenti.d the build made from the Ciqual 2020 table
// (data/ciqual-2020.csv) and its Italian names (data/ciqual-2020-it.csv), held against both
// by the rule of data/README.md, and the find box of the recipe calculator searching it.

#include "tests/recipe/RecipeTestSupport.h"

#include "platform/AnsiString.h"

#include <charconv>
#include <fstream>
#include <map>
#include <optional>
#include <sstream>

namespace cibrano::testing {
namespace {

using ::testing::Contains;

const std::string kDataDir = CIBRANO_TEST_DATA_DIR "/../../data";
const std::string kCiqualCsv = kDataDir + "/ciqual-2020.csv";
const std::string kItalianCsv = kDataDir + "/ciqual-2020-it.csv";
const std::string kBuiltTable = CIBRANO_BINARY_DIR "/data/alimenti.d";

constexpr int kFoods = 3184;

using CsvRow = std::vector<std::string>;

// The records of a UTF-8 CSV file, header first: fields separated by commas, quoted when they
// hold a comma, a quote or a line break, a quote inside doubled; lines end in LF or CRLF.
std::vector<CsvRow> readCsv(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    EXPECT_TRUE(in) << "cannot read " << path;
    std::stringstream buffer;
    buffer << in.rdbuf();
    const std::string text = buffer.str();
    std::vector<CsvRow> rows;
    CsvRow row;
    std::string cell;
    bool quoted = false, rowStarted = false;
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (quoted) {
            if (c == '"' && i + 1 < text.size() && text[i + 1] == '"')
                cell += text[++i];
            else if (c == '"')
                quoted = false;
            else
                cell += c;
        } else if (c == '"') {
            quoted = rowStarted = true;
        } else if (c == ',') {
            row.push_back(std::move(cell));
            cell.clear();
            rowStarted = true;
        } else if (c == '\n' || c == '\r') {
            if (rowStarted || !cell.empty()) {
                row.push_back(std::move(cell));
                rows.push_back(std::move(row));
            }
            row.clear();
            cell.clear();
            rowStarted = false;
        } else {
            cell += c;
            rowStarted = true;
        }
    }
    if (rowStarted || !cell.empty()) {
        row.push_back(std::move(cell));
        rows.push_back(std::move(row));
    }
    return rows;
}

// A published cell by the rule: "12,9" is 12.9, "traces" 0, "< x" half of x, "-" or empty
// not determined.
std::optional<double> cellValue(std::string text) {
    if (text.empty() || text == "-")
        return std::nullopt;
    if (text == "traces")
        return 0.0;
    const bool half = text[0] == '<';
    if (half)
        text = text.substr(text.find_first_not_of("< "));
    for (char& c : text)
        if (c == ',')
            c = '.';
    double value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    EXPECT_TRUE(error == std::errc() && end == text.data() + text.size()) << text;
    return half ? value / 2 : value;
}

// The value fields in the table's order, each with its published column.
const std::pair<const char*, const char*> kValueColumns[] = {
    {"Kcalorie", "Energy, Regulation EU No 1169/2011 (kcal/100g)"},
    {"Glucidi", "Carbohydrate (g/100g)"},
    {"Lipidi", "Fat (g/100g)"},
    {"Proteine", "Protein (g/100g)"},
    {"Kjoule", "Energy, Regulation EU No 1169/2011 (kJ/100g)"},
    {"Zuccheri", "Sugars (g/100g)"},
    {"Saturi", "FA saturated (g/100g)"},
    {"Fibre", "Fibres (g/100g)"},
    {"Sale", "Salt (g/100g)"},
};

// Annex XIV of Regulation (EU) No 1169/2011: kcal and kJ per gram.
struct Factor {
    const char* column;
    double kcal, kj;
};
const Factor kFactors[] = {
    {"Carbohydrate (g/100g)", 4, 17},  {"Protein (g/100g)", 4, 17}, {"Fat (g/100g)", 9, 37},
    {"Fibres (g/100g)", 2, 8},         {"Alcohol (g/100g)", 7, 29}, {"Polyols (g/100g)", 2.4, 10},
    {"Organic acids (g/100g)", 3, 13},
};

struct Food {
    std::string code, group, name;
    std::map<std::string, std::string> cells; // published column -> text
    bool energyWorkedOut = false;
};

// The foods of the published table in its order, a food listed twice taken once with the
// values of both rows, the group average 24999 left out; with their Italian names.
std::vector<Food> publishedFoods() {
    const std::vector<CsvRow> rows = readCsv(kCiqualCsv);
    std::vector<Food> foods;
    if (rows.empty())
        return foods;
    const CsvRow& header = rows[0];
    std::map<std::string, size_t> at;
    for (size_t r = 1; r < rows.size(); ++r) {
        EXPECT_EQ(rows[r].size(), header.size()) << "line " << r + 1;
        std::map<std::string, std::string> cells;
        for (size_t c = 0; c < header.size() && c < rows[r].size(); ++c)
            cells[header[c]] = rows[r][c];
        const std::string code = cells["alim_code"];
        if (code == "24999")
            continue;
        if (const auto seen = at.find(code); seen != at.end()) {
            for (const auto& [field, column] : kValueColumns)
                if (!cellValue(foods[seen->second].cells[column]))
                    foods[seen->second].cells[column] = cells[column];
            continue;
        }
        at[code] = foods.size();
        foods.push_back({code, "", "", std::move(cells)});
    }
    const std::vector<CsvRow> names = readCsv(kItalianCsv);
    EXPECT_EQ(names.size(), foods.size() + 1);
    for (size_t r = 1; r < names.size(); ++r) {
        const auto food = at.find(names[r].at(0));
        EXPECT_NE(food, at.end()) << names[r].at(0);
        if (food != at.end()) {
            foods[food->second].group = names[r].at(1);
            foods[food->second].name = names[r].at(2);
        }
    }
    return foods;
}

// What the table should hold for a food: each value field's value, or none when not known.
std::map<std::string, std::optional<double>> expectedValues(Food& food) {
    std::map<std::string, std::optional<double>> values;
    for (const auto& [field, column] : kValueColumns)
        values[field] = cellValue(food.cells[column]);
    const auto known = [&](const char* column) { return cellValue(food.cells[column]); };
    if ((!values["Kcalorie"] || !values["Kjoule"]) && known("Carbohydrate (g/100g)") &&
        known("Protein (g/100g)") && known("Fat (g/100g)")) {
        double kcal = 0, kj = 0;
        for (const Factor& f : kFactors) {
            kcal += known(f.column).value_or(0) * f.kcal;
            kj += known(f.column).value_or(0) * f.kj;
        }
        // Unrounded: the table holds them to one decimal.
        if (!values["Kcalorie"])
            values["Kcalorie"] = kcal;
        if (!values["Kjoule"])
            values["Kjoule"] = kj;
        food.energyWorkedOut = true;
    }
    return values;
}

class SampleTable : public RecipeFixture {
protected:
    // The table the build made, copied into the test's working folder as alimenti.d.
    void useBuiltTable() {
        const std::optional<std::string> bytes = readWholeFile(kBuiltTable);
        ASSERT_TRUE(bytes) << kBuiltTable << " is missing: build the sample_table target";
        writeFileAtomically(tablePath(), *bytes);
    }
    // The names the food table shows, in UTF-8.
    std::vector<std::string> search(const char* text) {
        calc.ZerovFindEdit1->setText(text);
        manualTimerClock().advance(TZerovFindEdit::kSearchDelay);
        std::vector<std::string> names;
        for (const AnsiString& n : column(*calc.Table1, "Nome"))
            names.push_back(ansiToUtf8(n));
        return names;
    }
};

TEST_F(SampleTable, HoldsEveryPublishedFoodByTheRule) {
    useBuiltTable();
    TZerovTable t;
    t.setTableName(tablePath());
    t.setPassword(kFoodPassword);
    t.open();
    const char* const fields[] = {"Gruppo", "Nome",     "Quantita", "Kcalorie", "Glucidi",
                                  "Lipidi", "Proteine", "Kjoule",   "Zuccheri", "Saturi",
                                  "Fibre",  "Sale",     "Fonte",    "Mancanti"};
    ASSERT_EQ(t.fieldCount(), 14);
    for (int i = 0; i < 14; ++i)
        EXPECT_EQ(t.Fields()[i]->FieldName(), fields[i]);
    EXPECT_EQ(t.fieldByName("Gruppo")->Size(), 30);
    EXPECT_EQ(t.fieldByName("Nome")->Size(), 50);
    EXPECT_EQ(t.fieldByName("Fonte")->Size(), 30);
    EXPECT_EQ(t.fieldByName("Mancanti")->Size(), 100);

    std::vector<Food> foods = publishedFoods();
    ASSERT_EQ(foods.size(), static_cast<size_t>(kFoods));
    ASSERT_EQ(t.recordCount(), kFoods);
    size_t i = 0, workedOut = 0, unknownEnergy = 0;
    for (t.moveFirst(); !t.atEnd(); t.moveNext(), ++i) {
        Food& food = foods[i];
        const std::string row = "row " + std::to_string(i + 1) + " (" + food.code + ")";
        EXPECT_EQ(ansiToUtf8(t.fieldByName("Gruppo")->stringValue()), food.group) << row;
        EXPECT_EQ(ansiToUtf8(t.fieldByName("Nome")->stringValue()), food.name) << row;
        EXPECT_EQ(t.fieldByName("Fonte")->stringValue(), "Ciqual 2020 " + food.code) << row;
        EXPECT_EQ(t.fieldByName("Quantita")->floatValue(), 0.0) << row;
        std::string missing;
        const auto values = expectedValues(food);
        for (const auto& [field, column] : kValueColumns) {
            const std::optional<double>& expected = values.at(field);
            if (!expected) {
                // Left empty, which the file keeps as it keeps 0: Mancanti says it.
                missing += (missing.empty() ? "" : " ") + std::string(field);
                EXPECT_EQ(t.fieldByName(field)->floatValue(), 0.0) << row << ", " << field;
                continue;
            }
            const double stored = t.fieldByName(field)->floatValue();
            const bool energy = std::string(field) == "Kcalorie" || std::string(field) == "Kjoule";
            if (energy && !cellValue(food.cells[column]))
                // Worked out: the sum rounded to one decimal.
                EXPECT_NEAR(stored, *expected, 0.05 + 1e-9) << row << ", " << field;
            else
                // Published: exactly the double its text denotes.
                EXPECT_EQ(stored, *expected) << row << ", " << field;
        }
        EXPECT_EQ(t.fieldByName("Mancanti")->stringValue(), missing) << row;
        workedOut += food.energyWorkedOut;
        unknownEnergy += missing.rfind("Kcalorie", 0) == 0;
    }
    // The counts data/README.md gives.
    EXPECT_EQ(workedOut, 793u);
    EXPECT_EQ(unknownEnergy, 93u);
}

TEST_F(SampleTable, EnergiesWorkedOutByHandAndTheOils) {
    useBuiltTable();
    TZerovTable t;
    t.setTableName(tablePath());
    t.setPassword(kFoodPassword);
    t.open();
    std::map<std::string, std::pair<double, double>> energy; // code -> kcal, kJ
    std::vector<double> oils;
    for (t.moveFirst(); !t.atEnd(); t.moveNext()) {
        const std::string code = t.fieldByName("Fonte")->stringValue().substr(12);
        energy[code] = {t.fieldByName("Kcalorie")->floatValue(),
                        t.fieldByName("Kjoule")->floatValue()};
        if (t.fieldByName("Gruppo")->stringValue() == "Oli vegetali" &&
            t.fieldByName("Lipidi")->floatValue() > 99)
            oils.push_back(t.fieldByName("Kcalorie")->floatValue());
    }
    // White sugar (31016): 99.8 g of carbohydrate, nothing else: 4 x 99.8 kcal, 17 x 99.8 kJ.
    EXPECT_EQ(energy["31016"], std::pair(399.2, 1696.6));
    // Ricotta (19585): carbohydrate 4, protein 8.79, fat 11.9 g:
    // 16 + 35.16 + 107.1 = 158.26 kcal, 68 + 149.43 + 440.3 = 657.73 kJ.
    EXPECT_EQ(energy["19585"], std::pair(158.3, 657.7));
    // Extra virgin olive oil as published.
    EXPECT_EQ(energy["17270"], std::pair(900.0, 3700.0));
    ASSERT_GE(oils.size(), 10u);
    for (double kcal : oils)
        EXPECT_NEAR(kcal, 900, 5);
}

TEST_F(SampleTable, TheFindBoxFindsTheFoodACookMeans) {
    useBuiltTable();
    calc.OpenRecipeTables();
    ASSERT_EQ(calc.Table1->recordCount(), kFoods);
    EXPECT_THAT(search("spaghetti"), Contains("Pasta di semola (spaghetti, penne…), secca, cruda"));
    EXPECT_THAT(search("parmigiano"), Contains("Parmigiano"));
    EXPECT_THAT(search("olio extravergine"), Contains("Olio extravergine di oliva"));
    EXPECT_THAT(search("burro"), Contains("Burro, 82% grassi, senza sale"));
    EXPECT_THAT(search("zucchero"), Contains("Zucchero bianco"));
    EXPECT_THAT(search("uovo"), Contains("Uovo, crudo"));
    EXPECT_THAT(search("farina"), Contains("Farina di frumento, tipo 55 (per pane)"));
    EXPECT_THAT(search("riso"), Contains("Riso bianco, crudo"));
    EXPECT_THAT(search("mozzarella"), Contains("Mozzarella di vacca"));
    EXPECT_THAT(search("basilico"), Contains("Basilico, fresco"));
    EXPECT_EQ(search("").size(), static_cast<size_t>(kFoods));
}

TEST_F(SampleTable, TheFindBoxFindsAGroupByItsItalianName) {
    useBuiltTable();
    calc.OpenRecipeTables();
    calc.SetSearchColumn(0);
    search("formaggi");
    EXPECT_GT(calc.Table1->recordCount(), 100);
    for (const AnsiString& g : column(*calc.Table1, "Gruppo"))
        EXPECT_EQ(g, "Formaggi");
    search("");
    EXPECT_EQ(calc.Table1->recordCount(), kFoods);
}

} // namespace
} // namespace cibrano::testing

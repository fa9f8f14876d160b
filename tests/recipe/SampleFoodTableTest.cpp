// The bundled sample food table: the Italian names of data/ifct2017-it.csv against the foods
// of the published data/ifct2017.csv, the alimenti.d the build made from both, and the find
// box of the recipe calculator searching it in Italian.

#include "tests/recipe/RecipeTestSupport.h"

#include "platform/AnsiString.h"

#include <charconv>
#include <fstream>
#include <map>
#include <set>
#include <sstream>

namespace cibrano::testing {
namespace {

using ::testing::ElementsAreArray;

const std::string kDataDir = CIBRANO_TEST_DATA_DIR "/../../data";
const std::string kSourceCsv = kDataDir + "/ifct2017.csv";
const std::string kTranslationCsv = kDataDir + "/ifct2017-it.csv";
const std::string kBuiltTable = CIBRANO_BINARY_DIR "/data/alimenti.d";

constexpr size_t kFoods = 542;
const char* const kNutrients[] = {"Kcalorie", "Glucidi", "Lipidi", "Proteine"};

using CsvRow = std::vector<std::string>;

// The records of a UTF-8 CSV file, header first: fields separated by commas, quoted when they
// hold a comma or a quote, a quote inside doubled; lines end in LF or CRLF.
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

using Key = std::pair<std::string, std::string>; // group, name

// The published foods in file order, their texts as the file has them.
struct SourceFood {
    Key key;
    std::map<std::string, std::string> values; // nutrient column -> text
};

std::vector<SourceFood> sourceFoods() {
    const std::vector<CsvRow> rows = readCsv(kSourceCsv);
    std::vector<SourceFood> foods;
    if (rows.empty())
        return foods;
    const CsvRow& header = rows[0];
    for (size_t r = 1; r < rows.size(); ++r) {
        EXPECT_EQ(rows[r].size(), header.size()) << "line " << r + 1 << " of " << kSourceCsv;
        SourceFood food;
        for (size_t c = 0; c < header.size() && c < rows[r].size(); ++c) {
            if (header[c] == "Gruppo")
                food.key.first = rows[r][c];
            else if (header[c] == "Nome")
                food.key.second = rows[r][c];
            else
                food.values[header[c]] = rows[r][c];
        }
        foods.push_back(std::move(food));
    }
    return foods;
}

struct Translation {
    Key original;
    Key italian;
    size_t line = 0;
};

std::vector<Translation> translations() {
    const std::vector<CsvRow> rows = readCsv(kTranslationCsv);
    std::vector<Translation> result;
    EXPECT_FALSE(rows.empty());
    if (rows.empty())
        return result;
    EXPECT_EQ(rows[0], (CsvRow{"Group", "Name", "Gruppo", "Nome"}));
    for (size_t r = 1; r < rows.size(); ++r) {
        EXPECT_EQ(rows[r].size(), 4u) << "line " << r + 1 << " of " << kTranslationCsv;
        if (rows[r].size() == 4)
            result.push_back({{rows[r][0], rows[r][1]}, {rows[r][2], rows[r][3]}, r + 1});
    }
    return result;
}

// The Italian group and name of every published food, as the build gives them.
std::map<Key, Key> italianNames() {
    std::map<Key, Key> names;
    for (const Translation& t : translations())
        names.emplace(t.original, t.italian);
    return names;
}

double number(const std::string& text) {
    double value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    EXPECT_TRUE(error == std::errc() && end == text.data() + text.size())
        << "\"" << text << "\" is not a number";
    return value;
}

TEST(SampleTranslation, EveryFoodHasOneItalianRowAndEveryRowAFood) {
    const std::vector<SourceFood> foods = sourceFoods();
    const std::vector<Translation> rows = translations();
    ASSERT_EQ(foods.size(), kFoods);
    EXPECT_EQ(rows.size(), kFoods);

    std::map<Key, size_t> rowsOfKey;
    for (const Translation& t : rows)
        ++rowsOfKey[t.original];
    std::set<Key> published;
    for (const SourceFood& f : foods) {
        EXPECT_TRUE(published.insert(f.key).second)
            << "published twice: " << f.key.first << " / " << f.key.second;
        EXPECT_EQ(rowsOfKey[f.key], 1u)
            << "Italian rows for " << f.key.first << " / " << f.key.second;
    }
    for (const Translation& t : rows)
        EXPECT_TRUE(published.count(t.original)) << "line " << t.line << ": no published food "
                                                 << t.original.first << " / " << t.original.second;
}

TEST(SampleTranslation, ItalianNamesFitTheTableAndAreDistinct) {
    std::map<Key, size_t> lineOfPair;
    for (const Translation& t : translations()) {
        const auto& [group, name] = t.italian;
        const std::string where = "line " + std::to_string(t.line) + ": ";
        for (const auto& [text, size] : {std::pair{group, 30u}, std::pair{name, 50u}}) {
            const std::optional<AnsiString> ansi = utf8ToAnsi(text);
            ASSERT_TRUE(ansi) << where << "\"" << text << "\" is not Windows-1252";
            // One byte per character in Windows-1252: the field sizes count characters.
            EXPECT_FALSE(ansi->empty()) << where << "empty";
            EXPECT_LE(ansi->size(), size) << where << "\"" << text << "\" is too long";
            for (const unsigned char c : *ansi) {
                EXPECT_GE(c, 0x20) << where << "control character in \"" << text << "\"";
                EXPECT_TRUE(c < 0x7F || c > 0x9F || ansiCharToUnicode(c) > 0x9F)
                    << where << "control or undefined character in \"" << text << "\"";
            }
            if (text.empty())
                continue;
            EXPECT_NE(text.back(), ' ') << where << "\"" << text << "\" ends with a space";
            // Italian food lists begin with a capital: "Riso, integrale, crudo".
            EXPECT_TRUE(text[0] >= 'A' && text[0] <= 'Z') << where << "\"" << text << "\"";
        }
        const auto [at, fresh] = lineOfPair.emplace(t.italian, t.line);
        EXPECT_TRUE(fresh) << where << group << " / " << name << " is already on line "
                           << at->second;
    }
}

TEST(SampleTranslation, TheGroupsAreTheSourcesGroupsOneForOne) {
    // Every food of an original group goes to the same Italian group, and no two original
    // groups share one: the group column still sorts and filters the same foods together.
    std::map<std::string, std::set<std::string>> italianOf, originalOf;
    for (const Translation& t : translations()) {
        italianOf[t.original.first].insert(t.italian.first);
        originalOf[t.italian.first].insert(t.original.first);
    }
    for (const auto& [original, italian] : italianOf)
        EXPECT_EQ(italian.size(), 1u) << original;
    for (const auto& [italian, original] : originalOf)
        EXPECT_EQ(original.size(), 1u) << italian;
    EXPECT_EQ(italianOf.size(), 20u);
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
    std::vector<std::string> shownNames() {
        std::vector<std::string> names;
        for (const AnsiString& n : column(*calc.Table1, "Nome"))
            names.push_back(ansiToUtf8(n));
        return names;
    }
    std::vector<std::string> search(const char* text) {
        calc.ZerovFindEdit1->setText(text);
        manualTimerClock().advance(TZerovFindEdit::kSearchDelay);
        return shownNames();
    }
};

TEST_F(SampleTable, HoldsThePublishedFoodsUnderTheirItalianNamesWithTheirValues) {
    useBuiltTable();
    TZerovTable t;
    t.setTableName(tablePath());
    t.setPassword(kFoodPassword);
    t.open();
    ASSERT_EQ(t.fieldCount(), 7);
    EXPECT_EQ(t.fieldByName("Gruppo")->Size(), 30);
    EXPECT_EQ(t.fieldByName("Nome")->Size(), 50);

    const std::vector<SourceFood> foods = sourceFoods();
    const std::map<Key, Key> italian = italianNames();
    ASSERT_EQ(t.recordCount(), static_cast<int>(kFoods));
    ASSERT_EQ(foods.size(), kFoods);
    size_t i = 0;
    for (t.moveFirst(); !t.atEnd(); t.moveNext(), ++i) {
        const SourceFood& food = foods[i];
        const std::string row = "row " + std::to_string(i + 1) + " (" + food.key.second + ")";
        const auto names = italian.find(food.key);
        ASSERT_NE(names, italian.end()) << row;
        EXPECT_EQ(ansiToUtf8(t.fieldByName("Gruppo")->stringValue()), names->second.first) << row;
        EXPECT_EQ(ansiToUtf8(t.fieldByName("Nome")->stringValue()), names->second.second) << row;
        for (const char* nutrient : kNutrients) {
            ASSERT_EQ(food.values.count(nutrient), 1u) << nutrient;
            // Exactly the published value: the double its text denotes, not a near one.
            EXPECT_EQ(t.fieldByName(nutrient)->floatValue(), number(food.values.at(nutrient)))
                << row << ", " << nutrient;
        }
        // Nothing is used in a recipe yet.
        EXPECT_EQ(t.fieldByName("Quantita")->floatValue(), 0.0) << row;
    }
}

TEST_F(SampleTable, TheFindBoxFindsFoodsByTheirItalianNames) {
    useBuiltTable();
    calc.OpenRecipeTables();
    ASSERT_EQ(calc.Table1->recordCount(), static_cast<int>(kFoods));

    EXPECT_THAT(search("riso"), ElementsAreArray<std::string>(
                                    {"Riso, in fiocchi", "Riso, soffiato", "Riso, integrale, crudo",
                                     "Riso, parboiled, brillato, crudo", "Riso, brillato, crudo",
                                     "Fagioli riso (Vigna umbellata)", "Olio di crusca di riso"}));
    EXPECT_THAT(search("lenticchie"), ElementsAreArray<std::string>(
                                          {"Lenticchie, decorticate", "Lenticchie, intere, marroni",
                                           "Lenticchie, intere, giallastre"}));
    EXPECT_THAT(search("LATTE"),
                ElementsAreArray<std::string>({"Latte, intero, di bufala", "Latte, intero, vaccino",
                                               "Latte, concentrato solido (khoa)"}));

    // "mela" is in the aubergine and the pomegranate too, as an Italian reader expects.
    std::vector<std::string> mela;
    for (int v = 1; v <= 21; ++v)
        mela.push_back("Melanzana, varietà " + std::to_string(v));
    mela.insert(mela.end(),
                {"Melanzana, tutte le varietà", "Mela, grande", "Mela, verde", "Mela, piccola",
                 "Mela, piccola, del Kashmir", "Melagrana, arilli rosso scuro"});
    EXPECT_THAT(search("mela"), ElementsAreArray(mela));

    EXPECT_EQ(search("").size(), kFoods);
}

TEST_F(SampleTable, TheFindBoxFindsAGroupByItsItalianName) {
    useBuiltTable();
    calc.OpenRecipeTables();
    calc.SetSearchColumn(0);
    search("legumi");
    EXPECT_EQ(calc.Table1->recordCount(), 25);
    for (const AnsiString& g : column(*calc.Table1, "Gruppo"))
        EXPECT_EQ(g, "Legumi secchi");
    search("");
    EXPECT_EQ(calc.Table1->recordCount(), static_cast<int>(kFoods));
}

} // namespace
} // namespace cibrano::testing

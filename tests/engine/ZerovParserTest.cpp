#include "engine/ZerovExp.h"
#include "engine/ZerovLex.h"

#include "platform/Component.h"
#include "platform/DatabaseError.h"
#include "platform/RegionalSettings.h"

#include "../platform/ErrorMessage.h"
#include "tests/engine/EngineTestSupport.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

using namespace cibrano;

namespace {

// The tokens as "text/kind" separated by blanks.
std::string tokensOf(const std::string& text) {
    TZerovParser parser;
    parser.tokenize(text);
    std::string out;
    for (const auto& t : parser.tokens())
        out += (out.empty() ? "" : " ") + t.text + "/" + std::to_string(t.kind);
    return out;
}

std::string tokenizeError(const std::string& text) {
    return testkit::messageOf([&] { TZerovParser().tokenize(text); });
}

struct ReadResult {
    TZerovConditionList conditions;
    int next = -1;
    std::string error;
};

ReadResult readFilter(const std::string& text, int start = 0) {
    ReadResult r;
    TZerovParser parser;
    try {
        parser.tokenize(text);
        r.next = parser.readConditions(r.conditions, start);
    } catch (const EDatabaseError& e) {
        r.error = e.message();
    }
    return r;
}

class ZerovParserTest : public ::testing::Test {
protected:
    cibrano::testing::FixedRegionalSettings regionalSettings;
};

} // namespace

TEST_F(ZerovParserTest, TokenKindsAndTexts) {
    EXPECT_EQ(tokensOf("  Quantita >= 5 AND nome like 'pa%'\r\n"),
              "Quantita/1 >=/10 5/6 AND/9 nome/1 LIKE/5 pa%/2");
    EXPECT_EQ(tokensOf("a<=b<>c*=d<e=f>g"),
              "a/1 <=/10 b/1 <>/10 c/1 *=/10 d/1 </10 e/1 =/10 f/1 >/10 g/1");
    EXPECT_EQ(tokensOf("(t.x,*)+-/"), "(/11 t/1 ./4 x/1 ,/3 */7 )/12 +/8 -/8 //8");
    EXPECT_EQ(tokensOf("select null True false not Or _x"),
              "SELECT/5 NULL/13 TRUE/20 FALSE/21 NOT/9 OR/9 _x/1");
}

TEST_F(ZerovParserTest, QuotedConstants) {
    EXPECT_EQ(tokensOf("'it''s' \"say \"\"hi\"\"\" 'a\"b' ''"), "it's/2 say \"hi\"/2 a\"b/2 /2");
    EXPECT_EQ(tokenizeError("Nome = 'pasta"), "Unmatched quote");
    EXPECT_EQ(tokenizeError("Nome = 'it''"), "Unmatched quote");
    EXPECT_EQ(tokenizeError("'"), "Unmatched quote");
}

TEST_F(ZerovParserTest, Numbers) {
    // A minus inside a number stays in it; a leading one is a symbol of its own.
    EXPECT_EQ(tokensOf("x=-5"), "x/1 =/10 -/8 5/6");
    EXPECT_EQ(tokensOf("12.5 5-3 (7)"), "12.5/6 5-3/6 (/11 7/6 )/12");
    EXPECT_EQ(tokenizeError("x = 12a"), "Token 12a is invalid number");
    EXPECT_EQ(tokenizeError("x = 1e5"), "Token 1e is invalid number");
    EXPECT_EQ(tokenizeError("x = 1'a'"), "Token 1' is invalid number");
    // The decimal separator is the regional one.
    RegionalSettings rs;
    rs.decimalSeparator = ',';
    rs.thousandSeparator = '.';
    setRegional(rs);
    EXPECT_EQ(tokensOf("1,5 2.5"), "1,5/6 2/6 ./4 5/6");
}

TEST_F(ZerovParserTest, SymbolAndWordErrors) {
    EXPECT_EQ(tokenizeError("Nome\t= 'x'"),
              "Invalid symbol in parameter/identificator/reserved word");
    EXPECT_EQ(tokenizeError("Nome = #"), "Invalid symbol in parameter/identificator/reserved word");
    EXPECT_EQ(tokenizeError("caff\xE8 = 1"),
              "Invalid symbol in parameter/identificator/reserved word");
    EXPECT_EQ(tokenizeError("$x = 1"), "Parameter $x is not valid identifier");
    EXPECT_EQ(tokenizeError("a$ = 1"), "Parameter a$ is not valid identifier");
    EXPECT_EQ(tokenizeError("x = LIKE(1)"), "Unsupported function LIKE in query");
    EXPECT_EQ(tokenizeError("select(x)"), "Unsupported function SELECT in query");
    EXPECT_EQ(tokenizeError("((x)"), "Unmatched parentheses");
    EXPECT_EQ(tokenizeError("x)"), "Unmatched parentheses");
    EXPECT_EQ(tokenizeError("   "), "(no error)");
    EXPECT_EQ(tokenizeError(""), "(no error)");
}

TEST_F(ZerovParserTest, AggregateArguments) {
    EXPECT_EQ(tokensOf("sum(Quantita) count(t.x)"), "SUM/15 Quantita/1 COUNT/14 t/1 ./4 x/1");
    EXPECT_EQ(tokensOf("MAX(a) MIN(b) AVG(c)"), "MAX/16 a/1 MIN/17 b/1 AVG/18 c/1");
    // The aggregate's own parentheses do not count for the balance.
    EXPECT_EQ(tokenizeError("(SUM(x))"), "(no error)");
    // Without "(" right after it, the word is a keyword.
    EXPECT_EQ(tokensOf("SUM (x)"), "SUM/5 (/11 x/1 )/12");
    EXPECT_EQ(tokenizeError("COUNT(*)"),
              "Symbol * is not supported in aggregate function argument");
    EXPECT_EQ(tokenizeError("SUM(a+b)"),
              "Symbol + is not supported in aggregate function argument");
    EXPECT_EQ(tokenizeError("SUM((a))"),
              "Symbol ( is not supported in aggregate function argument");
    EXPECT_EQ(tokenizeError("SUM(a"), "Unmatched parentheses");
}

TEST_F(ZerovParserTest, ErrorsCarryTheComponentName) {
    TComponent table;
    table.setName("Table1");
    TZerovParser parser(&table);
    EXPECT_EQ(testkit::messageOf([&] { parser.tokenize("x = 'y"); }), "Table1: Unmatched quote");
}

TEST_F(ZerovParserTest, ReadsComparisonsJoinedByAnd) {
    ReadResult r = readFilter("Quantita > 0 AND Gruppo = 'Cereali' and Nome LIKE 'pa%'");
    ASSERT_EQ(r.error, "");
    EXPECT_EQ(r.next, 0);
    ASSERT_EQ(r.conditions.size(), 3u);
    const TZerovCField& a = r.conditions[0];
    EXPECT_EQ(a.leftOperand, "Quantita");
    EXPECT_EQ(a.leftKind, tokIdentifier);
    EXPECT_EQ(a.relation, relGreater);
    EXPECT_EQ(a.rightOperand, "0");
    EXPECT_EQ(a.rightKind, tokNumber);
    EXPECT_EQ(r.conditions[1].rightOperand, "Cereali");
    EXPECT_EQ(r.conditions[1].rightKind, tokString);
    EXPECT_EQ(r.conditions[1].relation, relEqual);
    EXPECT_EQ(r.conditions[2].relation, relLike);
    EXPECT_EQ(r.conditions[2].mask, nullptr);

    ReadResult fields = readFilter("'Nome' = Gruppo");
    ASSERT_EQ(fields.conditions.size(), 1u);
    EXPECT_EQ(fields.conditions[0].leftKind, tokString);
    EXPECT_EQ(fields.conditions[0].rightKind, tokIdentifier);
}

TEST_F(ZerovParserTest, EveryRelationAndRightOperand) {
    const std::pair<const char*, TZerovRelation> relations[] = {
        {"=", relEqual},      {">", relGreater},   {"<", relLess},       {">=", relGreaterEqual},
        {"<=", relLessEqual}, {"<>", relNotEqual}, {"*=", relStarEqual}, {"like", relLike}};
    for (const auto& [text, relation] : relations) {
        ReadResult r = readFilter(std::string("x ") + text + " 1");
        ASSERT_EQ(r.conditions.size(), 1u) << text;
        EXPECT_EQ(r.conditions[0].relation, relation) << text;
    }
    const std::pair<const char*, TZerovTokenKind> operands[] = {
        {"y", tokIdentifier}, {"'y'", tokString}, {"1.5", tokNumber},
        {"null", tokNull},    {"TRUE", tokTrue},  {"false", tokFalse}};
    for (const auto& [text, kind] : operands) {
        ReadResult r = readFilter(std::string("x = ") + text);
        ASSERT_EQ(r.conditions.size(), 1u) << text;
        EXPECT_EQ(r.conditions[0].rightKind, kind) << text;
    }
}

TEST_F(ZerovParserTest, RefusesWhatIsNotAComparison) {
    const char* refused[] = {
        "Quantita > 0 OR Gruppo = 'Cereali'", // only AND joins
        "NOT x = 1",
        "x = 1 x = 2",
        "x = -5",        // a leading minus is a symbol, not part of the constant
        "SUM(Quantita)", // the tokenizer takes it, the reader does not
        "x = SUM(y)",
        "5 = x", // a number cannot stand on the left
        "x IS 1",
        "x SELECT 1", // reserved words are not relations
        "x = (1)",
        "x = y + 1",
        "t.5 = 1",
    };
    for (const char* text : refused)
        EXPECT_EQ(readFilter(text).error, "Error in comparison expression") << text;
}

TEST_F(ZerovParserTest, KeepsWhatWasReadBeforeAnError) {
    ReadResult r = readFilter("a = 1 AND b = 2 OR c = 3");
    EXPECT_EQ(r.error, "Error in comparison expression");
    EXPECT_EQ(r.conditions.size(), 2u);
}

TEST_F(ZerovParserTest, DropsAnIncompleteTrailingCondition) {
    for (const char* text :
         {"a = 1 AND", "a = 1 AND b", "a = 1 AND b =", "a = 1 AND t.", "a = 1 AND b = t."}) {
        ReadResult r = readFilter(text);
        EXPECT_EQ(r.error, "") << text;
        EXPECT_EQ(r.next, 0) << text;
        EXPECT_EQ(r.conditions.size(), 1u) << text;
    }
    EXPECT_TRUE(readFilter("").conditions.empty());
}

TEST_F(ZerovParserTest, GroupEndsReading) {
    ReadResult r = readFilter("a = 1 AND b = 2 GROUP BY a");
    EXPECT_EQ(r.error, "");
    EXPECT_EQ(r.conditions.size(), 2u);
    EXPECT_EQ(r.next, 8); // the token after GROUP
    ReadResult later = readFilter("x y = 1 group", 1);
    EXPECT_EQ(later.next, 5);
    EXPECT_EQ(later.conditions.size(), 1u);
}

TEST_F(ZerovParserTest, SourceNames) {
    ReadResult r = readFilter("T1.Nome = T2.Gruppo AND Quantita <> t.");
    ASSERT_EQ(r.conditions.size(), 1u);
    EXPECT_EQ(r.conditions[0].leftSource, "T1");
    EXPECT_EQ(r.conditions[0].leftOperand, "Nome");
    EXPECT_EQ(r.conditions[0].rightSource, "T2");
    EXPECT_EQ(r.conditions[0].rightOperand, "Gruppo");

    // A string after a source dot is still an operand; a lone trailing identifier is the
    // right operand, never a source.
    ReadResult s = readFilter("a.'b' = c");
    ASSERT_EQ(s.conditions.size(), 1u);
    EXPECT_EQ(s.conditions[0].leftSource, "a");
    EXPECT_EQ(s.conditions[0].leftOperand, "b");
    EXPECT_EQ(s.conditions[0].rightSource, "");
    EXPECT_EQ(s.conditions[0].rightOperand, "c");
}

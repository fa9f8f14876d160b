#include "engine/query/ZerovParser.h"

#include "engine/query/ZerovParserConst.h"
#include "platform/AnsiCase.h"
#include "platform/DatabaseError.h"
#include "platform/Format.h"
#include "platform/RegionalSettings.h"

#include <cstring>

namespace cibrano {

namespace {

// Tab is deliberately not a blank: it is refused as a symbol.
bool isBlank(char c) {
    return c == ' ' || c == '\r' || c == '\n';
}
bool isDigit(char c) {
    return c >= '0' && c <= '9';
}
bool isLetter(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}
bool isWordStart(char c) {
    return isLetter(c) || c == '$' || c == '_';
}
bool isWordChar(char c) {
    return isWordStart(c) || isDigit(c);
}
bool isSymbol(char c) {
    return c != '\0' && std::strchr("()*+,-./<=>", c) != nullptr;
}

bool isValidIdentifier(std::string_view word) {
    if (word.empty() || !(isLetter(word[0]) || word[0] == '_'))
        return false;
    for (char c : word)
        if (!(isLetter(c) || isDigit(c) || c == '_'))
            return false;
    return true;
}

std::string_view trimBlanks(std::string_view text) {
    while (!text.empty() && isBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && isBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

TZerovTokenKind aggregateKind(const AnsiString& word) {
    if (word == "SUM")
        return tokSum;
    if (word == "MAX")
        return tokMax;
    if (word == "MIN")
        return tokMin;
    if (word == "AVG")
        return tokAvg;
    if (word == "COUNT")
        return tokCount;
    return tokKeyword;
}

bool relationOf(const TZerovToken& token, TZerovRelation& relation) {
    if (token.kind == tokKeyword)
        return token.text == "LIKE" ? (relation = relLike, true) : false;
    if (token.kind != tokRelation)
        return false;
    static constexpr struct {
        const char* text;
        TZerovRelation relation;
    } kRelations[] = {{"=", relEqual},         {">", relGreater},    {"<", relLess},
                      {">=", relGreaterEqual}, {"<=", relLessEqual}, {"<>", relNotEqual},
                      {"*=", relStarEqual}};
    for (const auto& r : kRelations)
        if (token.text == r.text) {
            relation = r.relation;
            return true;
        }
    return false;
}

bool isRightOperandKind(TZerovTokenKind kind) {
    return kind == tokIdentifier || kind == tokString || kind == tokNumber || kind == tokNull ||
           kind == tokTrue || kind == tokFalse;
}

} // namespace

void TZerovParser::fail(const AnsiString& text) const {
    databaseError(text, errorSource_);
}

void TZerovParser::tokenize(std::string_view source) {
    tokens_.clear();
    std::string_view text = trimBlanks(source);
    int opened = 0;
    int closed = 0;
    bool aggregate = false; // inside the argument of SUM(, COUNT( ...
    size_t i = 0;
    while (i < text.size()) {
        char c = text[i];
        if (isBlank(c))
            ++i;
        else if (c == '\'' || c == '"')
            i = scanQuoted(text, i);
        else if (isDigit(c))
            i = scanNumber(text, i);
        else if (isSymbol(c))
            i = scanSymbol(text, i, aggregate, opened, closed);
        else if (isWordStart(c))
            i = scanWord(text, i, aggregate);
        else
            fail(exprmsg::InvalidSymbol);
    }
    // An aggregate whose argument is never closed leaves a "(" without its ")".
    if (aggregate || opened != closed)
        fail(exprmsg::UnmatchedParentheses);
}

size_t TZerovParser::scanQuoted(std::string_view text, size_t i) {
    const char quote = text[i];
    AnsiString value;
    size_t j = i + 1;
    for (;;) {
        if (j >= text.size())
            fail(exprmsg::UnmatchedQuote);
        if (text[j] == quote) {
            if (j + 1 < text.size() && text[j + 1] == quote) {
                value += quote; // a doubled quote stands for one
                j += 2;
                continue;
            }
            break;
        }
        value += text[j++];
    }
    add(std::move(value), tokString);
    return j + 1;
}

size_t TZerovParser::scanNumber(std::string_view text, size_t i) {
    // A "-" inside a number stays in it; there is no exponent.
    const char sep = regional().decimalSeparator;
    size_t j = i;
    while (j < text.size() && (isDigit(text[j]) || text[j] == '-' || text[j] == sep))
        ++j;
    if (j < text.size() && !isBlank(text[j]) && !isSymbol(text[j]))
        fail(formatText(exprmsg::InvalidNumber, AnsiString(text.substr(i, j - i + 1))));
    add(AnsiString(text.substr(i, j - i)), tokNumber);
    return j;
}

size_t TZerovParser::scanWord(std::string_view text, size_t i, bool& aggregate) {
    size_t j = i;
    while (j < text.size() && isWordChar(text[j]))
        ++j;
    AnsiString word(text.substr(i, j - i));
    if (!isZerovReservedWord(word)) {
        if (!isValidIdentifier(word))
            fail(formatText(exprmsg::InvalidIdentifier, word));
        add(std::move(word), tokIdentifier);
        return j;
    }
    AnsiString upper = ansiUpperCase(word);
    if (upper == "OR" || upper == "AND" || upper == "NOT") {
        add(std::move(upper), tokLogic);
    } else if (upper == "NULL") {
        add(std::move(upper), tokNull);
    } else if (upper == "TRUE") {
        add(std::move(upper), tokTrue);
    } else if (upper == "FALSE") {
        add(std::move(upper), tokFalse);
    } else if (j < text.size() && text[j] == '(') {
        TZerovTokenKind kind = aggregateKind(upper);
        if (kind == tokKeyword)
            fail(formatText(exprmsg::UnsupportedFunction, upper));
        add(std::move(upper), kind);
        aggregate = true;
        ++j; // the "(" belongs to the aggregate and is not counted
    } else {
        add(std::move(upper), tokKeyword);
    }
    return j;
}

size_t TZerovParser::scanSymbol(std::string_view text, size_t i, bool& aggregate, int& opened,
                                int& closed) {
    const char c = text[i];
    if (aggregate) {
        if (c == ')') {
            aggregate = false;
            return i + 1;
        }
        if (c != '.')
            fail(formatText(exprmsg::AggregateSymbol, AnsiString(1, c)));
    }
    std::string_view two = text.substr(i, 2);
    if (two == ">=" || two == "<=" || two == "<>" || two == "*=") {
        add(AnsiString(two), tokRelation);
        return i + 2;
    }
    TZerovTokenKind kind;
    switch (c) {
    case '(':
        ++opened;
        kind = tokOpen;
        break;
    case ')':
        ++closed;
        kind = tokClose;
        break;
    case '<':
    case '=':
    case '>':
        kind = tokRelation;
        break;
    case '*':
        kind = tokStar;
        break;
    case ',':
        kind = tokComma;
        break;
    case '.':
        kind = tokDot;
        break;
    default:
        kind = tokArith;
        break; // + - /
    }
    add(AnsiString(1, c), kind);
    return i + 1;
}

int TZerovParser::readConditions(TZerovConditionList& target, int start) {
    const size_t n = tokens_.size();
    size_t i = start > 0 ? static_cast<size_t>(start) : 0;
    // A source name is an identifier with a dot after it; the last token never is one.
    auto sourceAt = [&](size_t k) {
        return k + 1 < n && tokens_[k].kind == tokIdentifier && tokens_[k + 1].kind == tokDot;
    };
    for (;;) {
        TZerovCField condition;
        if (i < n && sourceAt(i)) {
            condition.leftSource = tokens_[i].text;
            i += 2;
        }
        if (i >= n)
            return 0;
        if (tokens_[i].kind != tokIdentifier && tokens_[i].kind != tokString)
            fail(exprmsg::ComparisonError);
        condition.leftOperand = tokens_[i].text;
        condition.leftKind = tokens_[i].kind;
        if (++i >= n)
            return 0;
        if (!relationOf(tokens_[i], condition.relation))
            fail(exprmsg::ComparisonError);
        if (++i >= n)
            return 0;
        if (sourceAt(i)) {
            condition.rightSource = tokens_[i].text;
            i += 2;
        }
        if (i >= n)
            return 0;
        if (!isRightOperandKind(tokens_[i].kind))
            fail(exprmsg::ComparisonError);
        condition.rightOperand = tokens_[i].text;
        condition.rightKind = tokens_[i].kind;
        target.push_back(std::move(condition));
        if (++i >= n)
            return 0;
        const TZerovToken& next = tokens_[i];
        if (next.kind == tokLogic && next.text == "AND") {
            ++i;
            continue;
        }
        if (next.kind == tokKeyword && next.text == "GROUP")
            return static_cast<int>(i + 1);
        fail(exprmsg::ComparisonError);
    }
}

} // namespace cibrano

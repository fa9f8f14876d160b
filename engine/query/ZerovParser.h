#pragma once
// The filter language: a tokenizer for a small SQL-like vocabulary, and a reader that turns
// the tokens of a filter into comparisons joined by AND.

#include "engine/query/ZerovCondition.h"
#include "engine/query/ZerovToken.h"
#include "platform/AnsiString.h"

#include <string_view>
#include <vector>

namespace cibrano {

class TComponent;

class TZerovParser {
public:
    // Errors are raised as EDatabaseError, prefixed with the name of `errorSource` when it
    // has one.
    explicit TZerovParser(const TComponent* errorSource = nullptr) : errorSource_(errorSource) {}

    // Replaces the token list with the tokens of the text, or raises.
    void tokenize(std::string_view text);

    // Reads conditions from the token at `start` on and appends them to `target`; answers
    // the index after a closing GROUP word, or 0 when the tokens ran out (a condition not
    // complete by then is dropped). Conditions appended before an error stay in `target`.
    int readConditions(TZerovConditionList& target, int start);

    const std::vector<TZerovToken>& tokens() const { return tokens_; }

    // The pieces of a query; no path of the program fills them.
    std::vector<TZerovQSource>& sources() { return sources_; }
    std::vector<TZerovQJoin>& joins() { return joins_; }
    std::vector<TZerovQColumn>& columns() { return columns_; }
    TZerovConditionList& conditions() { return conditions_; }

private:
    [[noreturn]] void fail(const AnsiString& text) const;
    void add(AnsiString text, TZerovTokenKind kind) { tokens_.push_back({std::move(text), kind}); }
    size_t scanQuoted(std::string_view text, size_t i);
    size_t scanNumber(std::string_view text, size_t i);
    size_t scanWord(std::string_view text, size_t i, bool& aggregate);
    size_t scanSymbol(std::string_view text, size_t i, bool& aggregate, int& opened, int& closed);

    const TComponent* errorSource_;
    std::vector<TZerovToken> tokens_;
    std::vector<TZerovQSource> sources_;
    std::vector<TZerovQJoin> joins_;
    std::vector<TZerovQColumn> columns_;
    TZerovConditionList conditions_;
};

} // namespace cibrano

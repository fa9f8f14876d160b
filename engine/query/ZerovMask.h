#pragma once
// Wildcard masks for the LIKE relation of filters: "%" or "*" stand for any run of
// characters, "_" or "?" for exactly one. A mask is compiled once and then tested against
// many texts; matching never regards case (letters compare by their upper-case form under
// the 8-bit case rule).

#include "platform/AnsiString.h"

#include <string_view>
#include <vector>

namespace cibrano {

class TZerovMask {
public:
    // The most items that may follow a star.
    static constexpr int kMaxStars = 30;

    // Compiles the pattern; raises EDatabaseError "'%s' is an invalid mask at (%d)" (the
    // pattern, the 1-based position reached) when more than 30 items follow a star.
    explicit TZerovMask(std::string_view pattern);

    bool matches(std::string_view text) const;

    const AnsiString& pattern() const { return pattern_; }

private:
    enum ItemKind : unsigned char { itemLiteral, itemAnyChar, itemEnd };
    struct Item {
        bool starBefore = false;
        ItemKind kind = itemLiteral;
        unsigned char ch = 0; // upper-cased, for literals
    };

    AnsiString pattern_;
    std::vector<Item> items_; // the last one is the end item
};

} // namespace cibrano

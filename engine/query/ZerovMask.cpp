#include "engine/query/ZerovMask.h"

#include "engine/query/ZerovParserConst.h"
#include "platform/AnsiCase.h"
#include "platform/DatabaseError.h"
#include "platform/Format.h"

namespace cibrano {

namespace {
bool isStar(char c) {
    return c == '%' || c == '*';
}
bool isAnyOne(char c) {
    return c == '_' || c == '?';
}
} // namespace

TZerovMask::TZerovMask(std::string_view pattern) : pattern_(pattern) {
    // At most one item a character, and the end item.
    items_.reserve(pattern.size() + 1);
    // A one-character wildcard right after a star adds nothing: the star already covers it, so
    // "%?" matches like "%".
    bool pending = false;
    int stars = 0;
    auto add = [&](Item item, size_t position) {
        item.starBefore = pending;
        if (pending && ++stars > kMaxStars)
            databaseError(formatText(exprmsg::InvalidMask, pattern_, static_cast<int>(position)));
        pending = false;
        items_.push_back(item);
    };
    for (size_t i = 0; i < pattern.size(); ++i) {
        char c = pattern[i];
        if (isStar(c))
            pending = true;
        else if (isAnyOne(c)) {
            if (!pending)
                add(Item{false, itemAnyChar, 0}, i + 1);
        } else {
            add(Item{false, itemLiteral, ansiUpperChar(static_cast<unsigned char>(c))}, i + 1);
        }
    }
    add(Item{false, itemEnd, 0}, pattern.size() + 1);
}

bool TZerovMask::matches(std::string_view text) const {
    auto upper = [&](size_t pos) { return ansiUpperChar(static_cast<unsigned char>(text[pos])); };
    const size_t n = text.size();
    size_t pos = 0;
    size_t item = 0;
    // Where to go on when an attempt fails: the next place the latest star could stop. Only
    // the latest star needs one: the items between two stars have a fixed length, so once a
    // later star is reached, letting an earlier star swallow more could only make the later
    // star start further on, where its own scan has already looked. Keeping one point makes
    // matching linear in the text for each star instead of exponential in the stars.
    bool canResume = false;
    size_t resumePos = 0;
    size_t resumeItem = 0;
    for (;;) {
        const Item& it = items_[item];
        if (it.starBefore && it.kind == itemLiteral) {
            while (pos < n && upper(pos) != it.ch)
                ++pos;
            if (pos < n) {
                canResume = true;
                resumePos = pos + 1;
                resumeItem = item;
            }
        }
        bool ok;
        switch (it.kind) {
        case itemEnd:
            ok = it.starBefore || pos == n;
            break;
        case itemLiteral:
            ok = pos < n && upper(pos) == it.ch;
            break;
        default:
            ok = pos < n;
            break; // one character, but never past the end
        }
        if (ok) {
            if (it.kind == itemEnd)
                return true;
            ++pos;
            ++item;
            continue;
        }
        if (!canResume)
            return false;
        canResume = false;
        pos = resumePos;
        item = resumeItem;
    }
}

} // namespace cibrano

#include "engine/ZerovMask.h"

#include "platform/DatabaseError.h"

#include <gtest/gtest.h>

#include <string>

using namespace cibrano;

namespace {

bool like(const char* pattern, std::string_view text) {
    return TZerovMask(pattern).matches(text);
}

std::string maskError(const std::string& pattern) {
    try {
        TZerovMask mask(pattern);
    } catch (const EDatabaseError& e) {
        return e.message();
    }
    return "no error";
}

std::string stars(int count, const char* between) {
    std::string p;
    for (int i = 0; i < count; ++i)
        p += std::string("%") + between;
    return p;
}

} // namespace

TEST(ZerovMask, LeadingTextAndContainment) {
    EXPECT_TRUE(like("pa%", "PASTA"));
    EXPECT_TRUE(like("pa%", "pane"));
    EXPECT_TRUE(like("pa%", "pa"));
    EXPECT_FALSE(like("pa%", "spaghetti"));
    EXPECT_TRUE(like("%ol%", "Olio"));
    EXPECT_TRUE(like("%ol%", "fagiOLi"));
    EXPECT_FALSE(like("%ol%", "lo"));
    EXPECT_TRUE(like("*ta", "pasta"));
    EXPECT_FALSE(like("*ta", "pastai"));
}

TEST(ZerovMask, EmptyPatternAndExactText) {
    EXPECT_TRUE(like("", ""));
    EXPECT_FALSE(like("", "a"));
    EXPECT_TRUE(like("Riso", "RISO"));
    EXPECT_FALSE(like("Riso", "Risotto"));
    EXPECT_FALSE(like("Riso", "Ris"));
    EXPECT_TRUE(like("%", ""));
}

TEST(ZerovMask, OneCharacterWildcards) {
    EXPECT_TRUE(like("_a%", "pa"));
    EXPECT_TRUE(like("_a%", "xAbc"));
    EXPECT_FALSE(like("_a%", "a"));
    EXPECT_FALSE(like("_a%", ""));
    EXPECT_TRUE(like("a?c", "abc"));
    EXPECT_FALSE(like("a?c", "ac"));
    EXPECT_FALSE(like("a?c", "abcd"));
    EXPECT_FALSE(like("___", "ab"));
    // Right after a star a one-character wildcard is dropped.
    EXPECT_TRUE(like("%?", ""));
    EXPECT_TRUE(like("a*?", "a"));
}

TEST(ZerovMask, BacktracksToLaterOccurrences) {
    EXPECT_TRUE(like("%ab", "aab"));
    EXPECT_TRUE(like("%a_c%", "abxabc"));
    EXPECT_TRUE(like("%ana%na", "bananana"));
    EXPECT_FALSE(like("%a%b%c", "cba"));
    EXPECT_TRUE(like("%a%b%c", "xaybzc"));
}

TEST(ZerovMask, ManyStarsOnLongTextStayFast) {
    // Without care, every star would retry every split of the text.
    std::string text(400, 'a');
    EXPECT_FALSE(like((stars(25, "a") + "b").c_str(), text));
    EXPECT_TRUE(like((stars(25, "a") + "%").c_str(), text));
}

TEST(ZerovMask, AtMostThirtyItemsFollowAStar) {
    EXPECT_TRUE(like(stars(30, "a").c_str(), std::string(30, 'a')));
    EXPECT_EQ(maskError(stars(31, "a")), "'" + stars(31, "a") + "' is an invalid mask at (62)");
    // The end of the pattern counts when a star precedes it.
    EXPECT_EQ(maskError(stars(30, "a") + "%"),
              "'" + stars(30, "a") + "%' is an invalid mask at (62)");
    // Consecutive stars count as one.
    EXPECT_EQ(maskError(stars(30, "%a")), "no error");
}

TEST(ZerovMask, AccentedLettersIgnoreCase) {
    EXPECT_TRUE(like("caff\xE8%", "CAFF\xC8 latte"));
    EXPECT_TRUE(like("%\xF9", "pi\xD9"));
    EXPECT_FALSE(like("\xDF", "\xFF")); // sharp s has no upper-case partner
}

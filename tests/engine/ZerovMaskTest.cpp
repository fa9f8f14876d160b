#include "engine/query/ZerovMask.h"

#include "../platform/ErrorMessage.h"

#include <gtest/gtest.h>

#include <string>

using namespace cibrano;

namespace {

bool like(const char* pattern, std::string_view text) {
    return TZerovMask(pattern).matches(text);
}

std::string maskError(const std::string& pattern) {
    return testkit::messageOf([&] { TZerovMask mask(pattern); });
}

std::string stars(int count, const char* between) {
    std::string p;
    for (int i = 0; i < count; ++i)
        p += std::string("%") + between;
    return p;
}

} // namespace

TEST(ZerovMask, MatchesTexts) {
    static const struct {
        const char* pattern;
        const char* text;
        bool matches;
    } kCases[] = {
        // Leading text and containment, in any case.
        {"pa%", "PASTA", true},
        {"pa%", "pane", true},
        {"pa%", "pa", true},
        {"pa%", "spaghetti", false},
        {"%ol%", "Olio", true},
        {"%ol%", "fagiOLi", true},
        {"%ol%", "lo", false},
        {"*ta", "pasta", true},
        {"*ta", "pastai", false},
        // Without wildcards the whole text must match.
        {"", "", true},
        {"", "a", false},
        {"Riso", "RISO", true},
        {"Riso", "Risotto", false},
        {"Riso", "Ris", false},
        {"%", "", true},
        // One-character wildcards take exactly one character.
        {"_a%", "pa", true},
        {"_a%", "xAbc", true},
        {"_a%", "a", false},
        {"_a%", "", false},
        {"a?c", "abc", true},
        {"a?c", "ac", false},
        {"a?c", "abcd", false},
        {"___", "ab", false},
        // Right after a star a one-character wildcard is dropped.
        {"%?", "", true},
        {"a*?", "a", true},
        // A failed attempt goes on at a later occurrence.
        {"%ab", "aab", true},
        {"%a_c%", "abxabc", true},
        {"%ana%na", "bananana", true},
        {"%a%b%c", "cba", false},
        {"%a%b%c", "xaybzc", true},
        // Accented letters ignore case too; sharp s has no upper-case partner.
        {"caff\xE8%", "CAFF\xC8 latte", true},
        {"%\xF9", "pi\xD9", true},
        {"\xDF", "\xFF", false},
    };
    for (const auto& c : kCases)
        EXPECT_EQ(like(c.pattern, c.text), c.matches) << c.pattern << " ~ " << c.text;
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
    EXPECT_EQ(maskError(stars(30, "%a")), "(no error)");
}

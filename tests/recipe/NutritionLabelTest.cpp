// The label's layout at every width it takes: nothing outside the label, no two texts of a row
// on each other, the incomplete mark; its SVG read back by another XML reader.

#include "platform/Files.h"
#include "recipe/LabelFontMetrics.h"
#include "recipe/LabelLayout.h"
#include "recipe/LabelSvg.h"
#include "tests/platform/ErrorMessage.h"
#include "tests/platform/TempDir.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

namespace cibrano {
namespace {

using ::testing::HasSubstr;

std::vector<RecipeLine> lines() {
    return {{"Cereali", "Farina", 500, {340, 70, 1.5, 11, 1440, 1.5, 0.25, 3, 0.01}, {}},
            {"Grassi", "Burro", 200, {740, 0.5, 82, 0.7, 3040, 0.5, 52, 0, 0.05}, {}}};
}

NutritionDeclaration declaration(bool complete = true) {
    std::vector<RecipeLine> l = lines();
    if (!complete)
        l[1].missing.set(nSale);
    return nutritionDeclaration("Torta <\"sbrisolona\"> & co", l, 7, 650, ',');
}

// Where a text begins and ends on its line, in mm.
std::pair<double, double> extent(const LabelText& t) {
    const double w = labelTextWidth(t.text, t.size, t.bold);
    if (t.align == LabelAlign::Right)
        return {t.x - w, t.x};
    if (t.align == LabelAlign::Centre)
        return {t.x - w / 2, t.x + w / 2};
    return {t.x, t.x + w};
}

TEST(NutritionLabel, EveryTextStaysInsideAndApartAtEveryWidth) {
    for (bool complete : {true, false})
        for (double width : {40.0, 55.0, 70.0, 120.0}) {
            SCOPED_TRACE(testing::Message() << width << " mm, complete " << complete);
            const LabelLayout l = labelLayout(declaration(complete), width);
            EXPECT_EQ(l.width, width);
            ASSERT_FALSE(l.texts.empty());
            for (const LabelText& t : l.texts) {
                const auto [from, to] = extent(t);
                EXPECT_GE(from, 1.0) << t.text;
                EXPECT_LE(to, width - 1.0) << t.text;
                EXPECT_LE(to - from, t.room + 1e-9) << t.text;
                EXPECT_GT(t.y, 0);
                EXPECT_LT(t.y, l.height - 1.0) << t.text;
                // An x-height (0.523 of the size) of 1.2 mm from 70 mm on, and at least the
                // 0.9 mm of a small package at 40 mm.
                EXPECT_GE(t.size * 0.523, width >= 70 ? 1.2 : 0.9) << t.text;
            }
            for (size_t i = 0; i < l.texts.size(); ++i)
                for (size_t k = i + 1; k < l.texts.size(); ++k)
                    if (std::abs(l.texts[i].y - l.texts[k].y) < 0.5) {
                        const auto a = extent(l.texts[i]), b = extent(l.texts[k]);
                        EXPECT_TRUE(a.second <= b.first || b.second <= a.first)
                            << l.texts[i].text << " / " << l.texts[k].text;
                    }
            const bool marked = std::any_of(l.texts.begin(), l.texts.end(), [](const auto& t) {
                return t.text == kIncompleteDeclaration;
            });
            EXPECT_EQ(marked, !complete);
        }
    EXPECT_THAT(testkit::messageOf([] { labelLayout(declaration(), 39.9); }),
                HasSubstr("da 40 a 120"));
    EXPECT_THAT(testkit::messageOf([] { labelLayout(declaration(), 121); }),
                HasSubstr("da 40 a 120"));
}

TEST(NutritionLabel, ItsSvgIsXmlAnotherReaderTakes) {
    if (std::system("command -v python3 >/dev/null 2>&1") != 0)
        GTEST_SKIP() << "python3 is not installed";
    testkit::TempDir dir;
    const LabelLayout layout = labelLayout(declaration(false), 70);
    writeFileAtomically(dir.file("etichetta.svg"), labelSvg(layout));
    writeFileAtomically(dir.file("read.py"),
                        "import sys, xml.etree.ElementTree as E\n"
                        "n='{http://www.w3.org/2000/svg}'\n"
                        "r=E.parse(sys.argv[1]).getroot()\n"
                        "print(r.tag == n+'svg', r.get('width'), r.get('viewBox').split()[2])\n"
                        "print(r.find(n+'title').text)\n"
                        "t=[e.text for e in r.iter(n+'text')]\n"
                        "print(len(t)); print('|'.join(t))\n"
                        "print(len(list(r.iter(n+'line'))))\n");
    const std::string out = dir.file("out.txt");
    ASSERT_EQ(std::system(("python3 '" + dir.file("read.py") + "' '" + dir.file("etichetta.svg") +
                           "' >'" + out + "'")
                              .c_str()),
              0);
    const std::string read = readWholeFile(out).value_or("");
    EXPECT_THAT(read, HasSubstr("True 70mm 70\n"));
    EXPECT_THAT(read, HasSubstr("Dichiarazione nutrizionale \xE2\x80\x94 Torta <\"sbrisolona\"> & "
                                "co\n"));
    EXPECT_THAT(read, HasSubstr("\n" + std::to_string(layout.texts.size()) + "\n"));
    for (const char* text : {"Energia", "Grassi", "Carboidrati", "2043 kJ", "489 kcal", "per 100 g",
                             "%AR*", "DICHIARAZIONE INCOMPLETA", "< 0,01 g+"})
        EXPECT_THAT(read, HasSubstr(std::string("|") + text + "|")) << text;
    EXPECT_THAT(read, HasSubstr("\n" + std::to_string(layout.rules.size()) + "\n"));
}

} // namespace
} // namespace cibrano

// The nutrition label as PDF and PNG, read from the outside: the PDF's page size and text
// through poppler, the PNG's pixels through Qt's reader. One label is kept in the build's
// test artifacts (test-artifacts/etichetta.png) to be looked at.

#include "platform/Files.h"
#include "recipe/LabelLayout.h"
#include "recipe/NutritionDeclaration.h"
#include "sheet/LabelFiles.h"
#include "tests/platform/TempDir.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QByteArray>
#include <QImage>

#include <cstdlib>
#include <filesystem>

namespace cibrano {
namespace {

using ::testing::HasSubstr;

NutritionDeclaration shortbread() {
    return nutritionDeclaration(
        "Frollini della nonna",
        {{"Cereali", "Farina", 500, {340, 70, 1.5, 11, 1440, 1.5, 0.25, 3, 0.01}, {}},
         {"Grassi", "Burro", 200, {740, 0.5, 82, 0.7, 3040, 0.5, 52, 0, 0.05}, {}},
         {"Dolci", "Zucchero", 200, {400, 100, 0, 0, 1700, 100, 0, 0, 0}, {}},
         {"Uova", "Uova", 100, {140, 0.5, 10, 12.5, 580, 0.5, 3, 0, 0.35}, {}}},
        16, 800, ',');
}

QImage pngOf(const LabelLayout& layout) {
    const std::string bytes = nutritionLabelPng(layout);
    return QImage::fromData(QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size())), "PNG");
}

bool dark(QRgb pixel) {
    return qGray(pixel) < 128;
}

TEST(NutritionLabelFiles, ThePngIsTheLabelsMillimetresAt300Dpi) {
    for (double width : {40.0, 70.0, 120.0}) {
        SCOPED_TRACE(width);
        const LabelLayout layout = labelLayout(shortbread(), width);
        const QImage png = pngOf(layout);
        ASSERT_FALSE(png.isNull());
        // 70 mm is 2.756 inches: 827 pixels.
        EXPECT_EQ(png.width(), labelPixels(width));
        EXPECT_EQ(png.height(), labelPixels(layout.height));
        EXPECT_NEAR(png.dotsPerMeterX(), 11811, 1);
        // The box's left rule is drawn; outside it (the label's 1 mm edge, less the rule's
        // half) nothing: the text stays in, and the ground is white.
        const int edge = labelPixels(0.7);
        int inkAtBox = 0;
        for (int y = 0; y < png.height(); ++y) {
            for (int x = 0; x < edge; ++x) {
                EXPECT_FALSE(dark(png.pixel(x, y))) << x << "," << y;
                EXPECT_FALSE(dark(png.pixel(png.width() - 1 - x, y))) << x << "," << y;
            }
            inkAtBox += dark(png.pixel(labelPixels(1.0), y));
        }
        EXPECT_GT(inkAtBox, png.height() * 9 / 10);
        if (width == 70.0) {
            const std::filesystem::path folder =
                std::filesystem::path(CIBRANO_BINARY_DIR) / "test-artifacts";
            std::filesystem::create_directories(folder);
            png.save(QString::fromStdString((folder / "etichetta.png").string()));
        }
    }
}

TEST(NutritionLabelFiles, ThePdfIsOnePageOfTheLabelsSizeWithItsText) {
    if (std::system("command -v pdftotext >/dev/null 2>&1 && command -v pdfinfo >/dev/null "
                    "2>&1") != 0)
        GTEST_SKIP() << "pdftotext and pdfinfo (poppler-utils) are not installed";
    testkit::TempDir dir;
    const LabelLayout layout = labelLayout(shortbread(), 70);
    const std::string pdf = dir.file("etichetta.pdf");
    writeNutritionLabelPdf(layout, pdf);
    ASSERT_EQ(std::system(("pdfinfo '" + pdf + "' >'" + dir.file("info.txt") + "'").c_str()), 0);
    const std::string info = readWholeFile(dir.file("info.txt")).value_or("");
    EXPECT_THAT(info, ::testing::ContainsRegex("Pages: +1\n"));
    // 70 mm is 198.43 points; the page is the next whole point, nothing cut.
    EXPECT_THAT(info, ::testing::ContainsRegex("Page size: +199 x"));
    EXPECT_THAT(info, HasSubstr("Dichiarazione nutrizionale \xE2\x80\x94 Frollini della nonna"));

    ASSERT_EQ(std::system(("pdftotext -layout '" + pdf + "' '" + dir.file("t.txt") + "'").c_str()),
              0);
    const std::string text = readWholeFile(dir.file("t.txt")).value_or("");
    for (const char* expected :
         {"Dichiarazione nutrizionale", "per 100 g", "(50 g)", "%AR*", "Energia", "2158 kJ",
          "515 kcal", "1079 kJ", "258 kcal", "13 %", "saturi", "6,8 g", "34 %", "Fibre", "0,06 g",
          "0,03 g", "Assunzioni di riferimento", "(8 400 kJ/2 000 kcal)"})
        EXPECT_THAT(text, HasSubstr(expected)) << expected;
    EXPECT_THAT(text, ::testing::Not(HasSubstr("INCOMPLETA")));
}

TEST(NutritionLabelFiles, AFileThatCannotBeWrittenIsNamedAndNothingIsLeft) {
    testkit::TempDir dir;
    const LabelLayout layout = labelLayout(shortbread(), 70);
    const std::string target = dir.file("manca/etichetta.png");
    try {
        writeNutritionLabelPng(layout, target);
        ADD_FAILURE() << "written";
    } catch (const EDatabaseError& e) {
        EXPECT_THAT(e.message(), HasSubstr(target));
    }
    EXPECT_EQ(dir.entryCount(), 0u);
}

} // namespace
} // namespace cibrano

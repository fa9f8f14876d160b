// The recipe book's sheet commands and its energy chart, with the dialogs answered by the test:
// the proposed file names, the exports written or refused, the print to a PDF printer, and the
// chart's pixels (a grab is kept in test-artifacts/grafico-energia.png).

#include "app/SheetActions.h"
#include "app/EnergyChart.h"
#include "platform/Files.h"
#include "platform/ScriptedUi.h"
#include "recipe/RecipeBook.h"
#include "sheet/EnergyChartPainter.h"
#include "tests/platform/TempDir.h"
#include "tests/windows/WindowTestSupport.h"

#include <QImage>
#include <QMenu>
#include <QPrinter>
#include <QPushButton>
#include <QStandardPaths>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>

namespace cibrano {
namespace {

using ::testing::HasSubstr;

RecipeSheetData sheet(const char* name = "Mela cotta") {
    RecipeInfo info;
    info.Nome = name;
    info.Porzioni = 2;
    return recipeSheet(info, {{"Frutta", "Mela", 300, {52, 14, 0.2, 0.3}, {}},
                              {"Latte", "Latte intero", 100, {64, 5, 3.6, 3.3}, {}}});
}

TEST(SheetActions, ProposedNamesAreSafeAndInTheDocumentsFolder) {
    EXPECT_EQ(safeFileName("Pasta al pomodoro"), "Pasta al pomodoro");
    EXPECT_EQ(safeFileName("Torta 1/2: \"mele\" e pere?"), "Torta 1_2_ _mele_ e pere_");
    EXPECT_EQ(safeFileName("a\\b*c<d>e|f\tg"), "a_b_c_d_e_f_g");
    EXPECT_EQ(safeFileName(QString::fromUtf8("Rag\xC3\xB9 d'autunno")),
              QString::fromUtf8("Rag\xC3\xB9 d'autunno"));
    // Nothing hidden, nothing empty.
    EXPECT_EQ(safeFileName(" ..pane.. "), "pane");
    EXPECT_EQ(safeFileName("..."), "ricetta");
    EXPECT_EQ(safeFileName(QString(300, 'x')).size(), 100);

    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    const QString proposed = proposedExportPath("Pane/burro", ".pdf");
    EXPECT_TRUE(proposed.endsWith("/Pane_burro.pdf")) << proposed.toStdString();
    EXPECT_TRUE(documents.isEmpty() || proposed.startsWith(documents)) << proposed.toStdString();
}

class SheetActionsFiles : public ::testing::Test {
protected:
    ~SheetActionsFiles() override { setSheetDialogsForTesting({}); }
    // The save dialog answers `answer` and records what it proposed.
    void answerSave(const std::string& answer) {
        SheetDialogs d;
        d.saveFileName = [this, answer](QWidget*, const QString&, const QString& proposed,
                                        const QString&) {
            this->proposed = proposed;
            return QString::fromStdString(answer);
        };
        setSheetDialogsForTesting(d);
    }

    testkit::TempDir dir;
    ScriptedUi ui;
    QString proposed;
};

TEST_F(SheetActionsFiles, ExportsGoWhereChosenWithTheirSuffix) {
    answerSave(dir.file("mela"));
    ASSERT_TRUE(exportRecipeSheetPdf(nullptr, sheet()));
    EXPECT_TRUE(proposed.endsWith("/Mela cotta.pdf"));
    EXPECT_EQ(readWholeFile(dir.file("mela.pdf")).value_or("").substr(0, 5), "%PDF-");

    answerSave(dir.file("mela.csv"));
    ASSERT_TRUE(exportRecipeSheetCsv(nullptr, sheet()));
    EXPECT_TRUE(proposed.endsWith("/Mela cotta.csv"));
    EXPECT_THAT(readWholeFile(dir.file("mela.csv")).value_or(""),
                HasSubstr("Totale ricetta,Mela cotta,400,"));
    EXPECT_TRUE(ui.errors.empty());

    // Cancelled: nothing written, nothing said.
    answerSave("");
    EXPECT_FALSE(exportRecipeSheetPdf(nullptr, sheet()));
    EXPECT_EQ(dir.entryCount(), 2u);
    EXPECT_TRUE(ui.errors.empty());
}

TEST_F(SheetActionsFiles, AnExportThatCannotBeWrittenIsShownNamingTheFile) {
    const std::string target = dir.file("manca/mela.pdf");
    answerSave(target);
    EXPECT_FALSE(exportRecipeSheetPdf(nullptr, sheet()));
    ASSERT_EQ(ui.errors.size(), 1u);
    EXPECT_THAT(ui.errors[0].text, HasSubstr(target));
    answerSave(dir.file("manca/mela.csv"));
    EXPECT_FALSE(exportRecipeSheetCsv(nullptr, sheet()));
    ASSERT_EQ(ui.errors.size(), 2u);
    EXPECT_EQ(dir.entryCount(), 0u);
}

TEST_F(SheetActionsFiles, PrintingDrawsTheSheetOnTheChosenPrinter) {
    const std::string out = dir.file("stampa.pdf");
    SheetDialogs d;
    bool asked = false;
    d.choosePrinter = [&](QWidget*, QPrinter& printer) {
        asked = true;
        EXPECT_EQ(printer.pageLayout().pageSize().id(), QPageSize::A4);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(QString::fromStdString(out));
        return true;
    };
    setSheetDialogsForTesting(d);
    ASSERT_TRUE(printRecipeSheet(nullptr, sheet()));
    EXPECT_TRUE(asked);
    EXPECT_EQ(readWholeFile(out).value_or("").substr(0, 5), "%PDF-");

    // The print dialog cancelled: nothing printed.
    d.choosePrinter = [](QWidget*, QPrinter&) { return false; };
    setSheetDialogsForTesting(d);
    EXPECT_FALSE(printRecipeSheet(nullptr, sheet()));
    EXPECT_TRUE(ui.errors.empty());
}

class SheetOfCurrentQuantities : public testing::WindowFixture {
protected:
    ~SheetOfCurrentQuantities() override { setSheetDialogsForTesting({}); }
};

TEST_F(SheetOfCurrentQuantities, TheMenuMakesTheSheetOfWhatIsTypedAndRefusesNothing) {
    writeFoodTable();
    RecipeCalculator calc;
    calc.OpenRecipeTables();
    QPushButton button(QStringLiteral("Scheda della ricetta &corrente\u2026"));
    QMenu* menu = attachSheetMenu(&button, [&] { return currentRecipeSheet(calc); });
    ASSERT_EQ(menu->actions().size(), 3);
    EXPECT_EQ(menu->actions()[0]->text(), QStringLiteral("&Stampa\u2026"));
    EXPECT_EQ(menu->actions()[1]->text(), QStringLiteral("Esporta &PDF\u2026"));
    EXPECT_EQ(menu->actions()[2]->text(), QStringLiteral("Esporta &CSV\u2026"));
    EXPECT_EQ(button.menu(), menu);

    QString proposed;
    SheetDialogs d;
    d.saveFileName = [&](QWidget*, const QString&, const QString& p, const QString&) {
        proposed = p;
        return QString::fromStdString(dir.file("corrente.csv"));
    };
    setSheetDialogsForTesting(d);
    // No quantity typed: said, and no dialog asked.
    menu->actions()[2]->trigger();
    ASSERT_EQ(ui.errors.size(), 1u);
    EXPECT_THAT(ui.errors[0].text, HasSubstr("quantit\xE0 diversa da 0"));
    EXPECT_TRUE(proposed.isEmpty());

    calc.Table1->locate("Nome", TVariant(AnsiString("Mela")), {});
    calc.Table1->beginEdit();
    calc.Table1Quantita->setStringValue("250");
    menu->actions()[2]->trigger();
    EXPECT_EQ(ui.errors.size(), 1u);
    EXPECT_THAT(proposed.toStdString(), HasSubstr("Ricetta corrente (non salvata).csv"));
    EXPECT_THAT(readWholeFile(dir.file("corrente.csv")).value_or(""),
                HasSubstr("Frutta,Mela,250,52,14,0.2,0.3"));
}

// The share of each of the pie's colours among the pixels of the three.
std::array<double, 3> colourShares(const QImage& image) {
    std::array<long, 3> counts{};
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            for (int i = 0; i < 3; ++i)
                if (c == energyColor(kEnergyParts[i]))
                    ++counts[i];
        }
    const double all = counts[0] + counts[1] + counts[2];
    return {counts[0] * 100 / all, counts[1] * 100 / all, counts[2] * 100 / all};
}

TEST(EnergyChartWidget, DrawsTheSplitItIsGivenAndSaysWhenThereIsNone) {
    TEnergyChart chart;
    chart.resize(320, 160);
    EXPECT_FALSE(chart.hasTotals());
    EXPECT_EQ(chart.note(), "Nessuna ricetta.");

    NutrientTotals t;
    t.amount[nGlucidi] = 60;  // 240 kcal
    t.amount[nProteine] = 15; // 60 kcal
    t.amount[nLipidi] = 20;   // 180 kcal
    t.amount[nKcalorie] = 470;
    chart.setTotals(t);
    EXPECT_TRUE(chart.note().isEmpty());
    EXPECT_DOUBLE_EQ(chart.split().fatsShare, 37.5);
    EXPECT_THAT(chart.toolTip().toStdString(), HasSubstr("Lipidi: 37.5 %"));
    const QImage image = chart.grab().toImage();
    const std::string artifacts = CIBRANO_BINARY_DIR "/test-artifacts";
    std::filesystem::create_directories(artifacts);
    image.save(QString::fromStdString(artifacts + "/grafico-energia.png"));
    const auto shares = colourShares(image);
    EXPECT_NEAR(shares[0], 50, 3);
    EXPECT_NEAR(shares[1], 12.5, 3);
    EXPECT_NEAR(shares[2], 37.5, 3);

    t.amount[nKcalorie] = 300; // the factors give 480
    chart.setTotals(t);
    EXPECT_THAT(chart.note().toStdString(), HasSubstr("10 %"));

    chart.setTotals(NutrientTotals());
    EXPECT_THAT(chart.note().toStdString(), HasSubstr("Nessuna energia"));
    chart.clear();
    EXPECT_FALSE(chart.hasTotals());
}

} // namespace
} // namespace cibrano

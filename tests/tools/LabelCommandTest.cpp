// cibrano-table label, run as the built program without a display: the declaration printed
// (its rows with tabs, the linear form, what it lacks), the exit statuses of a complete, an
// incomplete and a missing recipe, and the label's files.

#include "platform/Files.h"
#include "tests/platform/TempDir.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <sys/wait.h>

using namespace cibrano;
using ::testing::HasSubstr;

namespace {

const std::string kTool = CIBRANO_BINARY_DIR "/tools/cibrano-table";
const char kPassword[] = "QUARZOFELCEBRUM";

class LabelCommand : public ::testing::Test {
protected:
    struct Run {
        int status;
        std::string out;
        std::string err;
    };
    Run run(const std::vector<std::string>& args) {
        std::string command =
            "env -u DISPLAY -u WAYLAND_DISPLAY QT_QPA_PLATFORM=xcb '" + kTool + "'";
        for (const std::string& a : args)
            command += " '" + a + "'";
        command += " </dev/null >'" + dir.file("out") + "' 2>'" + dir.file("err") + "'";
        const int raw = std::system(command.c_str());
        return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, readWholeFile(dir.file("out")).value_or(""),
                readWholeFile(dir.file("err")).value_or("")};
    }

    // Two recipes as the program keeps them: shortbread, complete, baked from 1000 g to 800 g
    // for 16 portions; a pie whose cheese lacks its salt and whose flour lacks its fibre.
    void SetUp() override {
        writeFileAtomically(dir.file("r.csv"), "Nome,Porzioni,PesoFinale\r\n"
                                               "Frollini,16,800\r\n"
                                               "Torta salata,4,\r\n");
        writeFileAtomically(
            dir.file("l.csv"),
            "Ricetta,Gruppo,Nome,Quantita,Kcalorie,Glucidi,Lipidi,Proteine,Kjoule,Zuccheri,Saturi,"
            "Fibre,Sale,Mancanti\r\n"
            "1,Cereali,Farina,500,340,70,1.5,11,1440,1.5,0.25,3,0.01,\r\n"
            "1,Grassi,Burro,200,740,0.5,82,0.7,3040,0.5,52,0,0.05,\r\n"
            "1,Dolci,Zucchero,200,400,100,0,0,1700,100,0,0,0,\r\n"
            "1,Uova,Uova,100,140,0.5,10,12.5,580,0.5,3,0,0.35,\r\n"
            "2,Cereali,Farina,300,340,70,1.5,11,1440,1.5,0.25,0,0.01,Fibre\r\n"
            "2,Formaggi,Ricotta,250,146,3.5,10.9,8.8,609,3.5,7,0,0,Sale\r\n");
        ASSERT_EQ(run({"import", dir.file("r.csv"), dir.file("ricette.d"), "--password", kPassword,
                       "--fields",
                       "Codice:autoinc,Nome:string:50,Porzioni:integer,Note:memo,"
                       "Modificata:datetime,PesoFinale:float"})
                      .status,
                  0);
        ASSERT_EQ(run({"import", dir.file("l.csv"), dir.file("ingredienti.d"), "--password",
                       kPassword, "--fields",
                       "Ricetta:integer,Gruppo:string:30,Nome:string:50,Quantita:float,"
                       "Kcalorie:float,Glucidi:float,Lipidi:float,Proteine:float,Kjoule:float,"
                       "Zuccheri:float,Saturi:float,Fibre:float,Sale:float,Mancanti:string:100"})
                      .status,
                  0);
    }

    testkit::TempDir dir;
};

TEST_F(LabelCommand, PrintsTheDeclarationOfACompleteRecipe) {
    const Run r =
        run({"label", dir.file("ricette.d"), "--recipe", "frollini", "--password", kPassword});
    ASSERT_EQ(r.status, 0) << r.err;
    // C.UTF-8: "." as decimal separator.
    EXPECT_EQ(r.out, "Dichiarazione nutrizionale\n"
                     "\tper 100 g\tper porzione (50 g)\t%AR*\n"
                     "Energia\t2158 kJ / 515 kcal\t1079 kJ / 258 kcal\t13 %\n"
                     "Grassi\t23 g\t11 g\t16 %\n"
                     "di cui acidi grassi saturi\t14 g\t6.8 g\t34 %\n"
                     "Carboidrati\t69 g\t34 g\t13 %\n"
                     "di cui zuccheri\t26 g\t13 g\t15 %\n"
                     "Fibre\t1.9 g\t0.9 g\t\n"
                     "Proteine\t8.6 g\t4.3 g\t9 %\n"
                     "Sale\t0.06 g\t0.03 g\t1 %\n"
                     "* Assunzioni di riferimento di un adulto medio (8 400 kJ/2 000 kcal)\n"
                     "Valori nutrizionali medi per 100 g: energia 2158 kJ/515 kcal; grassi 23 g, "
                     "di cui acidi grassi saturi 14 g; carboidrati 69 g, di cui zuccheri 26 g; "
                     "fibre 1.9 g; proteine 8.6 g; sale 0.06 g\n");
    EXPECT_EQ(r.err, "");
}

TEST_F(LabelCommand, AnIncompleteDeclarationSaysWhatItLacksAndExitsWith3) {
    const Run r = run({"label", dir.file("ricette.d"), "--recipe", "Torta salata", "--text",
                       "--svg", dir.file("torta.svg"), "--password", kPassword});
    EXPECT_EQ(r.status, 3) << r.err;
    EXPECT_THAT(r.out, HasSubstr("Dichiarazione nutrizionale (incompleta)\n"));
    EXPECT_THAT(r.out, HasSubstr("per porzione (137.5 g)")); // 550 g in 4, no final weight
    EXPECT_THAT(r.out, HasSubstr("\nAttenzione: Dichiarazione incompleta: Sale, manca il dato "
                                 "di 1 ingrediente (Ricotta).\n"));
    EXPECT_THAT(r.out, HasSubstr("\nNota: Fibre non dichiarate: manca il dato di 1 ingrediente "
                                 "(Farina).\n"));
    EXPECT_THAT(r.out, HasSubstr("\nNota: Peso finale non indicato"));
    EXPECT_THAT(r.out, ::testing::Not(HasSubstr("\nFibre\t")));
    EXPECT_THAT(readWholeFile(dir.file("torta.svg")).value_or(""),
                HasSubstr(">DICHIARAZIONE INCOMPLETA<"));
    EXPECT_THAT(r.err, HasSubstr("torta.svg: SVG label of \"Torta salata\", incomplete"));
}

TEST_F(LabelCommand, MakesTheLabelsFilesAndRefusesWhatItCannotDo) {
    const Run files =
        run({"label", dir.file("ricette.d"), "--recipe", "Frollini", "--pdf", dir.file("f.pdf"),
             "--png", dir.file("f.png"), "--width-mm", "40", "--password", kPassword});
    ASSERT_EQ(files.status, 0) << files.err;
    EXPECT_THAT(files.out, HasSubstr("f.pdf: PDF label of \"Frollini\"\n"));
    EXPECT_EQ(readWholeFile(dir.file("f.pdf")).value_or("").substr(0, 5), "%PDF-");
    // A PNG of 40 mm at 300 dpi: 472 pixels wide (bytes 16..19 of its header).
    const std::string png = readWholeFile(dir.file("f.png")).value_or("");
    ASSERT_GT(png.size(), 24u);
    EXPECT_EQ(png.substr(1, 3), "PNG");
    EXPECT_EQ((static_cast<unsigned char>(png[18]) << 8) | static_cast<unsigned char>(png[19]),
              472);

    const Run missing =
        run({"label", dir.file("ricette.d"), "--recipe", "Frolini", "--password", kPassword});
    EXPECT_EQ(missing.status, 1);
    EXPECT_THAT(missing.err, HasSubstr("no recipe named \"Frolini\""));
    EXPECT_THAT(missing.err, HasSubstr("close names: \"Frollini\""));

    const Run narrow = run({"label", dir.file("ricette.d"), "--recipe", "Frollini", "--width-mm",
                            "30", "--password", kPassword});
    EXPECT_EQ(narrow.status, 2);
    EXPECT_THAT(narrow.err, HasSubstr("--width-mm needs the label's width in millimetres"));
    EXPECT_EQ(run({"label", dir.file("ricette.d"), "--password", kPassword}).status, 2);
    // A folder that is not there: the error names the file, nothing is left.
    const Run unwritable = run({"label", dir.file("ricette.d"), "--recipe", "Frollini", "--svg",
                                dir.file("manca/f.svg"), "--password", kPassword});
    EXPECT_EQ(unwritable.status, 1);
    EXPECT_THAT(unwritable.err, HasSubstr(dir.file("manca/f.svg")));
}

} // namespace

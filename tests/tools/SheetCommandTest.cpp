// cibrano-table sheet, run as the built program: a recipe book made with the tool's own import,
// its sheet as PDF and CSV without a display, a name that is not there, and the other commands
// with no Qt platform plugin to be found.

#include "platform/Files.h"
#include "tests/platform/TempDir.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>
#include <string>
#include <sys/wait.h>

using namespace cibrano;
using ::testing::HasSubstr;

namespace {

const std::string kTool = CIBRANO_BINARY_DIR "/tools/cibrano-table";
const char kPassword[] = "QUARZOFELCEBRUM";

std::string quoted(const std::string& s) {
    std::string out = "'";
    for (char c : s)
        out += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return out + "'";
}

// A CSV cell in quotes, its own quotes doubled.
std::string csvCell(const std::string& s) {
    std::string out = "\"";
    for (char c : s)
        out += c == '"' ? std::string("\"\"") : std::string(1, c);
    return out + "\"";
}

struct Line {
    const char* gruppo;
    const char* nome;
    double q, kcal, glucidi, lipidi, proteine;
};

const Line kLines[] = {{"Cereali", "Pasta di semola, secca", 320, 353, 79.1, 1.4, 10.9},
                       {"Verdure", "Pomodori \"San Marzano\"", 400, 22, 3, 0.2, 1.2},
                       {"Grassi", "Olio d'oliva", 30, 899, 0, 99.9, 0}};

class SheetCommand : public ::testing::Test {
protected:
    struct Run {
        int status;
        std::string out;
        std::string err;
    };
    // Runs `env ENV cibrano-table ARGS` with no terminal and no display.
    Run run(const std::vector<std::string>& args, const std::string& env = "") {
        std::string command = "env -u DISPLAY -u WAYLAND_DISPLAY " + env + " " + quoted(kTool);
        for (const std::string& a : args)
            command += " " + quoted(a);
        command += " </dev/null >" + quoted(file("out")) + " 2>" + quoted(file("err"));
        const int raw = std::system(command.c_str());
        return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, readWholeFile(file("out")).value_or(""),
                readWholeFile(file("err")).value_or("")};
    }
    std::string file(const std::string& name) const { return dir.file(name); }

    // A book of two recipes, made as the program makes it: ricette.d and ingredienti.d under
    // the food table's password.
    void makeBook() {
        std::ostringstream recipes, lines;
        recipes << "Nome,Porzioni,Modificata\r\nPasta al pomodoro,4,2026-12-01 12:30:00\r\n"
                   "Torta di mele,8,2026-11-20 09:00:00\r\n";
        lines << "Ricetta,Gruppo,Nome,Quantita,Kcalorie,Glucidi,Lipidi,Proteine\r\n";
        for (const Line& l : kLines)
            lines << "1," << l.gruppo << "," << csvCell(l.nome) << "," << l.q << "," << l.kcal
                  << "," << l.glucidi << "," << l.lipidi << "," << l.proteine << "\r\n";
        lines << "2,Frutta,Mele,600,52,14,0.2,0.3\r\n";
        const std::string csv = lines.str();
        writeFileAtomically(file("r.csv"), recipes.str());
        writeFileAtomically(file("l.csv"), csv);
        ASSERT_EQ(
            run({"import", file("r.csv"), file("ricette.d"), "--password", kPassword, "--fields",
                 "Codice:autoinc,Nome:string:50,Porzioni:integer,Note:memo,"
                 "Modificata:datetime"})
                .status,
            0);
        ASSERT_EQ(run({"import", file("l.csv"), file("ingredienti.d"), "--password", kPassword,
                       "--fields",
                       "Ricetta:integer,Gruppo:string:30,Nome:string:50,Quantita:float,"
                       "Kcalorie:float,Glucidi:float,Lipidi:float,Proteine:float"})
                      .status,
                  0);
    }

    testkit::TempDir dir;
};

TEST_F(SheetCommand, MakesThePdfAndTheCsvWithoutADisplay) {
    makeBook();
    // A platform that needs a display named in the environment: the sheet draws offscreen.
    Run r = run({"sheet", file("ricette.d"), "--recipe", "  pasta AL pomodoro", "--pdf",
                 file("pasta.pdf"), "--csv", file("pasta.csv"), "--password", kPassword},
                "QT_QPA_PLATFORM=xcb");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_THAT(r.out, HasSubstr("sheet of \"Pasta al pomodoro\", 3 ingredients"));
    EXPECT_EQ(readWholeFile(file("pasta.pdf")).value_or("").substr(0, 5), "%PDF-");

    if (std::system("command -v pdftotext >/dev/null") == 0) {
        ASSERT_EQ(
            std::system(("pdftotext " + quoted(file("pasta.pdf")) + " " + quoted(file("pasta.txt")))
                            .c_str()),
            0);
        const std::string text = readWholeFile(file("pasta.txt")).value_or("");
        EXPECT_THAT(text, HasSubstr("Pasta al pomodoro"));
        for (const Line& l : kLines)
            EXPECT_THAT(text, HasSubstr(l.nome));
        // C.UTF-8: "." and ",". 1,487.3 kcal in all, 371.8 per serving.
        EXPECT_THAT(text, HasSubstr("1,487.3"));
        EXPECT_THAT(text, HasSubstr("371.8"));
    }

    // The CSV read back by another CSV reader: the lines and the totals by the main window's
    // formula.
    double total[4] = {0, 0, 0, 0};
    for (const Line& l : kLines) {
        total[0] += l.kcal * l.q / 100;
        total[1] += l.glucidi * l.q / 100;
        total[2] += l.lipidi * l.q / 100;
        total[3] += l.proteine * l.q / 100;
    }
    const std::string python =
        "import csv,sys\n"
        "rows=list(csv.reader(open(sys.argv[1],encoding='utf-8',newline='')))\n"
        "print(len(rows)); print(rows[0]); print(rows[2][1])\n"
        "t=[r for r in rows if r[0]=='Totale ricetta'][0]\n"
        "print(' '.join(repr(float(x)) for x in t[2:7])); print(t[7:])\n";
    writeFileAtomically(file("read.py"), python);
    ASSERT_EQ(std::system(("python3 " + quoted(file("read.py")) + " " + quoted(file("pasta.csv")) +
                           " >" + quoted(file("read.out")))
                              .c_str()),
              0);
    std::istringstream read(readWholeFile(file("read.out")).value_or(""));
    std::string count, header, second;
    std::getline(read, count);
    std::getline(read, header);
    std::getline(read, second);
    EXPECT_EQ(count, "7"); // header, 3 lines, 3 totals
    EXPECT_EQ(header, "['Gruppo', 'Nome', 'Quantita', 'Kcalorie', 'Glucidi', 'Lipidi', 'Proteine', "
                      "'Kjoule', 'Zuccheri', 'Saturi', 'Fibre', 'Sale', 'Mancanti']");
    EXPECT_EQ(second, "Pomodori \"San Marzano\"");
    double grams, kcal, glucidi, lipidi, proteine;
    read >> grams >> kcal >> glucidi >> lipidi >> proteine;
    EXPECT_EQ(grams, 750);
    EXPECT_NEAR(kcal, total[0], 5e-7); // at most six decimals
    EXPECT_NEAR(glucidi, total[1], 5e-7);
    EXPECT_NEAR(lipidi, total[2], 5e-7);
    EXPECT_NEAR(proteine, total[3], 5e-7);
    // A book written before the other values existed: none of its lines knows them.
    std::string unknown;
    std::getline(read, unknown);
    std::getline(read, unknown);
    EXPECT_EQ(unknown, "['', '', '', '', '', 'Kjoule Zuccheri Saturi Fibre Sale']");
}

TEST_F(SheetCommand, ANameNotThereFailsListingCloseNamesAndWritesNothing) {
    makeBook();
    Run r = run({"sheet", file("ricette.d"), "--recipe", "torta di mela", "--pdf", file("x.pdf"),
                 "--csv", file("x.csv"), "--password", kPassword});
    EXPECT_EQ(r.status, 1);
    EXPECT_THAT(r.err, HasSubstr("no recipe named \"torta di mela\""));
    EXPECT_THAT(r.err, HasSubstr("close names: \"Torta di mele\""));
    EXPECT_FALSE(fileExists(file("x.pdf")));
    EXPECT_FALSE(fileExists(file("x.csv")));

    r = run({"sheet", file("ricette.d"), "--recipe", "Zuppa inglese", "--csv", file("x.csv"),
             "--password", kPassword});
    EXPECT_EQ(r.status, 1);
    EXPECT_THAT(r.err, HasSubstr("holds 2 recipes, none with a close name"));

    // No --recipe, no output: usage errors.
    EXPECT_EQ(run({"sheet", file("ricette.d"), "--pdf", file("x.pdf")}).status, 2);
    EXPECT_EQ(run({"sheet", file("ricette.d"), "--recipe", "Torta di mele"}).status, 2);
    // A wrong password names the file.
    r = run({"sheet", file("ricette.d"), "--recipe", "Torta di mele", "--csv", file("x.csv"),
             "--password", "sbagliata"});
    EXPECT_EQ(r.status, 1);
    EXPECT_THAT(r.err, HasSubstr(file("ricette.d")));
    // The book without its lines file.
    std::filesystem::remove(file("ingredienti.d"));
    r = run({"sheet", file("ricette.d"), "--recipe", "Torta di mele", "--csv", file("x.csv"),
             "--password", kPassword});
    EXPECT_EQ(r.status, 1);
    EXPECT_THAT(r.err, HasSubstr(file("ingredienti.d")));
}

TEST_F(SheetCommand, AnUnwritablePdfIsNamed) {
    makeBook();
    const Run r = run({"sheet", file("ricette.d"), "--recipe", "Torta di mele", "--pdf",
                       file("manca/torta.pdf"), "--password", kPassword});
    EXPECT_EQ(r.status, 1);
    EXPECT_THAT(r.err, HasSubstr(file("manca/torta.pdf")));
    EXPECT_THAT(r.err, HasSubstr("non si pu\xC3\xB2 scrivere"));
}

TEST_F(SheetCommand, TheOtherCommandsNeedNoQtPlatformPlugin) {
    makeBook();
    std::filesystem::create_directory(file("no-plugins"));
    const std::string env = "QT_QPA_PLATFORM_PLUGIN_PATH=" + quoted(file("no-plugins")) +
                            " QT_PLUGIN_PATH=" + quoted(file("no-plugins")) +
                            " QT_QPA_PLATFORM=nonesuch";
    Run r = run({"info", file("ricette.d"), "--password", kPassword}, env);
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_THAT(r.out, HasSubstr("Records:   2"));
    r = run({"dump", file("ingredienti.d"), "--password", kPassword}, env);
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_THAT(r.out, HasSubstr("Olio d'oliva"));
    r = run({"sheet", file("ricette.d"), "--recipe", "Torta di mele", "--csv", file("t.csv"),
             "--password", kPassword},
            env);
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(run({"--help"}, env).status, 0);
}

} // namespace

// The command-line companion, run as the built program on temporary files.

#include "platform/Files.h"
#include "tests/platform/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

using namespace cibrano;

namespace {

const std::string kTool = CIBRANO_BINARY_DIR "/tools/cibrano-table";
const std::string kData = CIBRANO_TEST_DATA_DIR;

std::string quoted(const std::string& s) {
    std::string out = "'";
    for (char c : s)
        out += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return out + "'";
}

class CibranoTable : public ::testing::Test {
protected:
    struct Run {
        int status;
        std::string out;
        std::string err;
    };
    // Runs the tool with the arguments (no terminal: stdin is /dev/null).
    Run run(const std::vector<std::string>& args) {
        std::string command = quoted(kTool);
        for (const std::string& a : args)
            command += " " + quoted(a);
        command += " </dev/null >" + quoted(file("out")) + " 2>" + quoted(file("err"));
        int raw = std::system(command.c_str());
        return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, readWholeFile(file("out")).value_or(""),
                readWholeFile(file("err")).value_or("")};
    }
    std::string file(const std::string& name) const { return dir.file(name); }
    void write(const std::string& name, const std::string& text) {
        writeFileAtomically(file(name), text);
    }

    testkit::TempDir dir;
};

} // namespace

TEST_F(CibranoTable, InfoShowsTheEncipheredFoodTable) {
    Run r = run({"info", kData + "/food-enciphered.d", "--password", "QUARZOFELCEBRUM"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("Format:    enciphered\n"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("Records:   5\n"), std::string::npos);
    EXPECT_NE(r.out.find("Fields:    7\n"), std::string::npos);
    EXPECT_NE(r.out.find("Gruppo    string 30\n"), std::string::npos);
    EXPECT_NE(r.out.find("Nome      string 50\n"), std::string::npos);
    EXPECT_NE(r.out.find("Proteine  float\n"), std::string::npos);
    EXPECT_EQ(r.err, "");
}

TEST_F(CibranoTable, WrongOrMissingPasswordFailsClearly) {
    Run wrong = run({"info", kData + "/food-enciphered.d", "--password", "quarzo"});
    EXPECT_NE(wrong.status, 0);
    EXPECT_EQ(wrong.out, "");
    EXPECT_EQ(wrong.err, "cibrano-table: " + kData +
                             "/food-enciphered.d: Invalid password. Table cannot be open\n");
    // No --password and no terminal to ask on: not a wrong password but a missing one.
    Run none = run({"dump", kData + "/food-enciphered.d"});
    EXPECT_EQ(none.status, 1);
    EXPECT_EQ(none.err, "cibrano-table: " + kData +
                            "/food-enciphered.d: the table is enciphered and needs its "
                            "password, and none was given: add --password P (or run the "
                            "command from a terminal to be asked)\n");
}

TEST_F(CibranoTable, ImportAndDumpRoundTripTheFoodTable) {
    // Columns in another order, Quantita missing, quotes, commas, a line break and accents.
    write("foods.csv", "\xEF\xBB\xBFNome,Kcalorie,Gruppo,Glucidi,Lipidi,Proteine\r\n"
                       "\"Pasta, di semola\",353,Cereali,79.1,1.4,10.9\r\n"
                       "\"Olio \"\"extra\"\"\nvergine\",899,Oli,,99.9,0\n"
                       "Latte di alta qualità,64.25,Latte,4.9,3.6,3.3\n");
    Run imported = run({"import", file("foods.csv"), file("t.d"), "--password", "pw"});
    ASSERT_EQ(imported.status, 0) << imported.err;
    EXPECT_EQ(imported.out, file("t.d") + ": 3 records imported, enciphered\n");

    Run dumped = run({"dump", file("t.d"), "--password", "pw"});
    ASSERT_EQ(dumped.status, 0) << dumped.err;
    EXPECT_EQ(dumped.out, "Gruppo,Nome,Quantita,Kcalorie,Glucidi,Lipidi,Proteine\r\n"
                          "Cereali,\"Pasta, di semola\",0,353,79.1,1.4,10.9\r\n"
                          "Oli,\"Olio \"\"extra\"\"\nvergine\",0,899,0,99.9,0\r\n"
                          "Latte,Latte di alta qualità,0,64.25,4.9,3.6,3.3\r\n");

    // The dump imports back to the same table.
    write("again.csv", dumped.out);
    ASSERT_EQ(run({"import", file("again.csv"), file("u.d")}).status, 0);
    EXPECT_EQ(run({"dump", file("u.d")}).out, dumped.out);
}

TEST_F(CibranoTable, ImportTakesFieldDefinitionsOfEveryKind) {
    const std::string fields = "Id:autoinc,Nome:string:60,Pezzi:integer,Piccolo:smallint,"
                               "Fatto:boolean,Giorno:date,Ora:time,Prezzo:currency,Nota:memo,"
                               "Dati:blob";
    write("in.csv", "Nome,Pezzi,Piccolo,Fatto,Giorno,Ora,Prezzo,Nota,Dati\n"
                    "uno,-5,32767,yes,2024-02-29,13:45:10,12.5,\"riga 1\nriga 2\",00FF10\n"
                    "due,,,,,,,,\n");
    Run imported = run({"import", file("in.csv"), file("t.d"), "--fields", fields});
    ASSERT_EQ(imported.status, 0) << imported.err;
    Run dumped = run({"dump", file("t.d")});
    ASSERT_EQ(dumped.status, 0) << dumped.err;
    EXPECT_EQ(dumped.out,
              "Id,Nome,Pezzi,Piccolo,Fatto,Giorno,Ora,Prezzo,Nota,Dati\r\n"
              "1,uno,-5,32767,Yes,2024-02-29,13:45:10,12.5,\"riga 1\nriga 2\",00FF10\r\n"
              "2,due,0,0,No,,,0,,\r\n");
    Run info = run({"info", file("t.d")});
    EXPECT_NE(info.out.find("Format:    plain\n"), std::string::npos);
    EXPECT_NE(info.out.find("Nome     string 60\n"), std::string::npos) << info.out;
}

TEST_F(CibranoTable, BadCsvIsRefusedNamingTheLineAndWritesNothing) {
    struct Case {
        std::string csv;
        std::string error;
    } cases[] = {
        {"Nome\nok\n\xE4\xB8\xAD\n",
         "line 3, field Nome: holds a character that Windows-1252 cannot represent"},
        {"Nome,Kcalorie\npane,12,5\n", "line 2: 3 values for 2 columns"},
        {"Nome,Kcalorie\npane,dodici\n", "line 2, field Kcalorie: \"dodici\" is not a number"},
        {"Nome,Calorie\n", "line 1: column \"Calorie\" matches no field of the table"},
        {"Nome\n\"aperto\n", "line 2: a quoted field is not closed"},
        {"Nome\n" + std::string(51, 'x') + "\n", "line 2, field Nome: longer than 50 characters"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.error);
        write("bad.csv", c.csv);
        Run r = run({"import", file("bad.csv"), file("t.d")});
        EXPECT_EQ(r.status, 1);
        EXPECT_NE(r.err.find(c.error), std::string::npos) << r.err;
        EXPECT_FALSE(fileExists(file("t.d")));
    }
}

TEST_F(CibranoTable, ImportKeepsAnExistingTableUnlessForced) {
    write("in.csv", "Nome\npane\n");
    ASSERT_EQ(run({"import", file("in.csv"), file("t.d")}).status, 0);
    const std::string before = readWholeFile(file("t.d")).value();
    write("in.csv", "Nome\nriso\n");
    Run refused = run({"import", file("in.csv"), file("t.d")});
    EXPECT_EQ(refused.status, 1);
    EXPECT_NE(refused.err.find("already exists"), std::string::npos);
    EXPECT_EQ(readWholeFile(file("t.d")).value(), before);
    ASSERT_EQ(run({"import", file("in.csv"), file("t.d"), "--force"}).status, 0);
    EXPECT_NE(run({"dump", file("t.d")}).out.find("riso"), std::string::npos);
}

TEST_F(CibranoTable, PasswdEnciphersAndDecipheresTheTable) {
    std::filesystem::copy_file(kData + "/food-plain.d", file("t.d"));
    const std::string plainDump = run({"dump", file("t.d")}).out;
    Run set = run({"passwd", file("t.d"), "--new-password", "nuova"});
    ASSERT_EQ(set.status, 0) << set.err;
    EXPECT_NE(run({"info", file("t.d")}).status, 0);
    EXPECT_EQ(run({"dump", file("t.d"), "--password", "nuova"}).out, plainDump);

    ASSERT_EQ(run({"passwd", file("t.d"), "--password", "nuova", "--new-password="}).status, 0);
    EXPECT_EQ(readWholeFile(file("t.d")).value(), readWholeFile(kData + "/food-plain.d").value());
    Run missing = run({"passwd", file("t.d")});
    EXPECT_EQ(missing.status, 2);
    EXPECT_NE(missing.err.find("--new-password"), std::string::npos);
}

TEST_F(CibranoTable, UsageErrorsAndHelp) {
    Run help = run({"--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_NE(help.out.find("import CSV FILE"), std::string::npos);
    for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
             {}, {"explode"}, {"info"}, {"info", "a", "b"}, {"info", "x.d", "--colour"}}) {
        Run r = run(args);
        EXPECT_EQ(r.status, 2);
        EXPECT_EQ(r.out, "");
        EXPECT_NE(r.err.find("cibrano-table: "), std::string::npos);
    }
    Run missing = run({"info", file("none.d")});
    EXPECT_EQ(missing.status, 1);
    EXPECT_NE(missing.err.find("cannot read " + file("none.d")), std::string::npos);
}

TEST_F(CibranoTable, PartialReadsADamagedTableAsFarAsItGoesWithAWarning) {
    // Cut inside the fourth record: reading stops there, with the first three and what the
    // fourth had.
    write("cut.d", readWholeFile(kData + "/food-plain.d").value().substr(0, 400));
    const std::string damage = "Unexpected end of buffer";
    Run refused = run({"info", file("cut.d")});
    EXPECT_EQ(refused.status, 1);
    EXPECT_EQ(refused.err, "cibrano-table: " + file("cut.d") + ": " + damage + "\n");
    Run partial = run({"info", file("cut.d"), "--partial"});
    ASSERT_EQ(partial.status, 0) << partial.err;
    EXPECT_EQ(partial.err, "cibrano-table: warning: " + file("cut.d") + ": " + damage + "\n");
    EXPECT_NE(partial.out.find("Records:   4\n"), std::string::npos);
}

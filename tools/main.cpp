// cibrano-table: the command-line companion of Cibrano's table files.

#include "engine/ZerovConst.h"
#include "platform/AnsiString.h"
#include "platform/DatabaseError.h"
#include "platform/TerminalUi.h"
#include "platform/UiServices.h"
#include "tools/Commands.h"
#include "tools/CsvValues.h"
#include "tools/LabelCommand.h"
#include "tools/SheetCommand.h"
#include "tools/ToolError.h"

#include <cstdio>
#include <iostream>
#include <new>
#include <string>
#include <unistd.h>
#include <vector>

using namespace cibrano;
using namespace cibrano::tool;

namespace {

const char kUsage[] =
    "usage: cibrano-table COMMAND [OPTIONS]\n"
    "\n"
    "Commands:\n"
    "  info FILE          fields with types and sizes, record count, plain or enciphered, notes\n"
    "  dump FILE          the records as CSV (UTF-8) on standard output, field names first\n"
    "  import CSV FILE    a new table FILE from a CSV file (UTF-8); columns are matched to the\n"
    "                     fields by name, fields without a column stay empty\n"
    "  passwd FILE        FILE written again under --new-password\n"
    "  sheet RICETTE.D    the nutrition sheet of the recipe --recipe of a recipe book as PDF\n"
    "                     (--pdf) and/or CSV (--csv); ingredienti.d is read from the same\n"
    "                     folder; the book's password is the food table's\n"
    "  label RICETTE.D    the nutrition declaration of the recipe --recipe (Regulation (EU)\n"
    "                     No 1169/2011): per 100 g, per portion and %AR, as text (--text, the\n"
    "                     default) and/or drawn as a label (--pdf, --svg, --png); exit status\n"
    "                     3 when the ingredients lack mandatory values\n"
    "\n"
    "Options:\n"
    "  --password P       the table's password; without it the password is asked for when\n"
    "                     the table needs one and a terminal is there (import: the password\n"
    "                     of the new table)\n"
    "  --new-password P   passwd: the new password; an empty one writes the table plain\n"
    "  --fields LIST      import: the fields, NAME:TYPE[:SIZE] separated by commas; TYPE is\n"
    "                     string (with a SIZE), smallint, integer, word, boolean, float,\n"
    "                     currency, date, time, datetime, autoinc, blob, memo, fmtmemo or\n"
    "                     graphic. Default: Gruppo:string:30,Nome:string:50,Quantita:float,\n"
    "                     Kcalorie:float,Glucidi:float,Lipidi:float,Proteine:float\n"
    "  --force            import: replace FILE when it exists\n"
    "  --recipe NAME      sheet, label: the recipe's name (case and surrounding blanks aside)\n"
    "  --pdf OUT.pdf      sheet: write the sheet (A4, the user's separators) to OUT.pdf;\n"
    "                     label: the label, on one page of its size\n"
    "  --csv OUT.csv      sheet: write the ingredients and totals as CSV to OUT.csv\n"
    "  --text             label: the declaration on standard output, one row a line, its\n"
    "                     cells separated by tabs, then its linear form and what it lacks\n"
    "  --svg OUT.svg      label: the label as SVG\n"
    "  --png OUT.png      label: the label as PNG at 300 dpi\n"
    "  --width-mm N       label: the label's width, 40 to 120 mm (default 70)\n"
    "  --partial          open a damaged table as far as it can be read\n"
    "  --help             this text\n"
    "\n"
    "CSV numbers use \".\" as decimal separator, dates are YYYY-MM-DD, times HH:MM:SS;\n"
    "binary BLOB values are hexadecimal digits. An autoinc field is numbered on import.\n";

// Prompts only where someone can answer: never when the password was given on the command
// line (a wrong one is an error, not a question) or when no terminal is at the other end.
class ToolUi : public TerminalUi {
public:
    // `unasked` is set when a table wanted a password that could not be asked for.
    ToolUi(bool prompt, bool& unasked) : prompt_(prompt), unasked_(unasked) {}
    bool askPassword(AnsiString& password) override {
        if (!prompt_)
            unasked_ = true;
        return prompt_ && TerminalUi::askPassword(password);
    }
    // Warnings (a damaged table read in part, a mistyped password) name the table file.
    void showWarning(const AnsiString&, const AnsiString& text) override {
        std::cerr << "cibrano-table: warning: " << (file_.empty() ? "" : file_ + ": ")
                  << ansiToUtf8(text) << "\n";
    }
    void setFile(const std::string& file) { file_ = file; }

private:
    bool prompt_;
    bool& unasked_;
    std::string file_;
};

// An enciphered table opened with no --password and no terminal to ask on fails as a wrong
// password would; the message says what is missing instead, and how to give it.
std::string explained(std::string message, bool passwordUnasked, const Options& options) {
    const std::string invalid = msg::InvalidPassword;
    if (!passwordUnasked || options.password || message.size() < invalid.size() ||
        message.compare(message.size() - invalid.size(), invalid.size(), invalid) != 0)
        return message;
    message.replace(message.size() - invalid.size(), invalid.size(),
                    "the table is enciphered and needs its password, and none was given: "
                    "add --password P (or run the command from a terminal to be asked)");
    return message;
}

int fail(const std::string& message, int status) {
    std::cerr << "cibrano-table: " << message << "\n";
    if (status == 2)
        std::cerr << "Try 'cibrano-table --help'.\n";
    return status;
}

} // namespace

int main(int argc, char** argv) {
    std::vector<std::string> words;
    Options options;
    bool passwordUnasked = false;
    try {
        for (int i = 1; i < argc; ++i) {
            std::string arg = argv[i];
            if (arg == "--help" || arg == "-h") {
                std::cout << kUsage;
                return 0;
            }
            if (arg == "--force") {
                options.force = true;
                continue;
            }
            if (arg == "--text") {
                options.text = true;
                continue;
            }
            if (arg == "--partial") {
                options.partial = true;
                continue;
            }
            std::optional<std::string>* target = nullptr;
            std::string name = arg.substr(0, arg.find('='));
            if (name == "--password")
                target = &options.password;
            else if (name == "--new-password")
                target = &options.newPassword;
            else if (name == "--fields")
                target = &options.fields;
            else if (name == "--recipe")
                target = &options.recipe;
            else if (name == "--pdf")
                target = &options.pdf;
            else if (name == "--csv")
                target = &options.csv;
            else if (name == "--svg")
                target = &options.svg;
            else if (name == "--png")
                target = &options.png;
            else if (name == "--width-mm")
                target = &options.widthMm;
            if (target) {
                if (arg.size() > name.size()) {
                    *target = arg.substr(name.size() + 1);
                } else {
                    if (i + 1 >= argc)
                        throw UsageError(name + " needs a value");
                    *target = std::string(argv[++i]);
                }
                continue;
            }
            if (arg.size() > 1 && arg[0] == '-')
                throw UsageError("unknown option " + arg);
            words.push_back(arg);
        }
        if (words.empty())
            throw UsageError("no command given");

        useToolRegionalSettings();
        setApplicationTitle("cibrano-table");
        ToolUi ui(!options.password && ::isatty(STDIN_FILENO), passwordUnasked);
        setUiServices(&ui);
        struct Restore {
            ~Restore() { setUiServices(nullptr); }
        } restore;

        const std::string& command = words[0];
        int status = 0;
        if (words.size() > 1)
            ui.setFile(words.back());
        auto expectArgs = [&](size_t n, const char* form) {
            if (words.size() != n + 1)
                throw UsageError(std::string("usage: cibrano-table ") + form);
        };
        if (command == "info") {
            expectArgs(1, "info FILE [--password P]");
            runInfo(words[1], options, std::cout);
        } else if (command == "dump") {
            expectArgs(1, "dump FILE [--password P]");
            runDump(words[1], options, std::cout);
        } else if (command == "import") {
            expectArgs(2, "import CSV FILE [--fields LIST] [--password P] [--force]");
            runImport(words[1], words[2], options, std::cout);
        } else if (command == "passwd") {
            expectArgs(1, "passwd FILE --new-password P [--password P]");
            runPasswd(words[1], options, std::cout);
        } else if (command == "sheet") {
            expectArgs(1, "sheet RICETTE.D --recipe NAME [--pdf OUT.pdf] [--csv OUT.csv] "
                          "[--password P]");
            runSheet(words[1], options, std::cout);
        } else if (command == "label") {
            expectArgs(1, "label RICETTE.D --recipe NAME [--text] [--pdf OUT] [--svg OUT] "
                          "[--png OUT] [--width-mm N] [--password P]");
            status = runLabel(words[1], options, std::cout, std::cerr);
        } else {
            throw UsageError("unknown command " + command);
        }
        std::cout.flush();
        if (!std::cout)
            return fail("cannot write to standard output", 1);
        return status;
    } catch (const UsageError& e) {
        return fail(e.what(), 2);
    } catch (const ToolError& e) {
        return fail(explained(e.what(), passwordUnasked, options), 1);
    } catch (const EDatabaseError& e) {
        return fail(explained(ansiToUtf8(e.message()), passwordUnasked, options), 1);
    } catch (const std::bad_alloc&) {
        return fail("out of memory", 1);
    } catch (const std::exception& e) {
        return fail(e.what(), 1);
    }
}

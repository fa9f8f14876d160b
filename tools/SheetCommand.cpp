#include "tools/SheetCommand.h"
#include "tools/Commands.h"

#include "platform/AnsiString.h"
#include "platform/DatabaseError.h"
#include "platform/RegionalSettings.h"
#include "recipe/RecipeBook.h"
#include "recipe/RecipeCsv.h"
#include "recipe/RecipeSheetData.h"
#include "tools/ToolError.h"
#ifdef CIBRANO_SHEET_PDF
#include "sheet/SheetPdf.h"
#endif

#include <cerrno>
#include <cstring>
#include <ostream>
#include <unistd.h>

namespace cibrano::tool {

namespace {

// The sheet's numbers follow the user's separators; the tool's own fixed ones come back after.
class UserSeparators {
public:
    UserSeparators() : saved_(regional()) { setRegional(userLocaleSettings()); }
    ~UserSeparators() { setRegional(saved_); }
    UserSeparators(const UserSeparators&) = delete;
    UserSeparators& operator=(const UserSeparators&) = delete;

private:
    RegionalSettings saved_;
};

} // namespace

namespace {

// The error of a recipe the book does not hold, naming the recipes of close names.
std::string noSuchRecipe(const RecipeBook& book, const std::string& file, const AnsiString& name) {
    std::string message = "no recipe named \"" + ansiToUtf8(name) + "\" in " + file;
    const std::vector<AnsiString> close = book.closeNames(name);
    if (close.empty())
        return message + " (it holds " + std::to_string(book.recipes().size()) +
               " recipes, none with a close name)";
    message += "; close names:";
    for (size_t i = 0; i < close.size(); ++i)
        message += (i ? ", \"" : " \"") + ansiToUtf8(close[i]) + "\"";
    return message;
}

} // namespace

KeptRecipe readKeptRecipe(const std::string& file, const Options& options) {
    const AnsiString name = ansiOption(options.recipe, "--recipe");
    const AnsiString password = ansiOption(options.password, "--password");
    if (::access(file.c_str(), R_OK) != 0)
        throw ToolError("cannot read " + file + ": " + std::strerror(errno));
    RecipeBook book(file, password);
    book.open();
    const std::optional<int> code = book.findRecipe(name);
    if (!code)
        throw ToolError(noSuchRecipe(book, file, name));
    return {*book.recipe(*code), book.linesOf(*code)};
}

void runSheet(const std::string& file, const Options& options, std::ostream& out) {
    if (!options.recipe)
        throw UsageError("sheet needs --recipe NAME");
    if (!options.pdf && !options.csv)
        throw UsageError("sheet needs --pdf OUT.pdf, --csv OUT.csv or both");
#ifndef CIBRANO_SHEET_PDF
    if (options.pdf)
        throw ToolError("this cibrano-table was built without Qt and makes no PDF; --csv works");
#endif
    const KeptRecipe kept = readKeptRecipe(file, options);
    const RecipeSheetData sheet = recipeSheet(kept.recipe, kept.lines);
    const std::string recipeName = ansiToUtf8(sheet.name);
    if (options.csv) {
        writeRecipeCsv(sheet, *options.csv);
        out << *options.csv << ": CSV of \"" << recipeName << "\", " << sheet.lines.size()
            << " ingredients\n";
    }
#ifdef CIBRANO_SHEET_PDF
    if (options.pdf) {
        UserSeparators separators;
        writeRecipeSheetPdf(sheet, *options.pdf);
        out << *options.pdf << ": sheet of \"" << recipeName << "\", " << sheet.lines.size()
            << " ingredients\n";
    }
#endif
}

} // namespace cibrano::tool

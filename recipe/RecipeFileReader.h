#pragma once
// The recipe book read from its two files alone, without the program's food table: ricette.d
// at a given path and ingredienti.d beside it, each opened as a table component of its own and
// read whole, then closed. For the command-line tool, which makes sheets of kept recipes. The
// recipes and lines are those the book shows (RecipeBook::recipes, RecipeBook::linesOf): live
// records in stored order.

#include "platform/AnsiString.h"
#include "recipe/RecipeBook.h"
#include "recipe/RecipeValues.h"

#include <optional>
#include <string>
#include <vector>

namespace cibrano {

class RecipeFileReader {
public:
    // Reads both files under `password` (empty: the passwords the session knows, then the
    // question of the UI services). A file that is missing, damaged, under another password or
    // holds other fields raises EDatabaseError naming it.
    RecipeFileReader(const std::string& recipesPath, const AnsiString& password);

    const std::vector<RecipeInfo>& recipes() const { return recipes_; }
    // The recipe with that name, compared as the book compares names (without regard to case
    // and surrounding blanks).
    std::optional<RecipeInfo> findRecipe(const AnsiString& name) const;
    std::vector<RecipeLine> linesOf(int code) const;
    // Up to `count` names of recipes close to `name`, closest first: names that hold it or that
    // it holds, and names a few typing slips away.
    std::vector<AnsiString> closeNames(const AnsiString& name, size_t count = 5) const;
    const std::string& linesPath() const { return linesPath_; }

private:
    struct StoredLine {
        int recipe = 0;
        RecipeLine line;
    };
    std::string linesPath_;
    std::vector<RecipeInfo> recipes_;
    std::vector<StoredLine> lines_;
};

} // namespace cibrano

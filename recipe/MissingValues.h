#pragma once
// The values of a row that are not known. A table file keeps an empty number exactly as it
// keeps 0, so the food table and the recipe book say which values they lack in a text field
// of their own, `Mancanti`: the names of those value fields, separated by a blank, in the
// order of the table's fields ("Zuccheri Fibre"); empty when every value is known.

#include "platform/AnsiString.h"

#include <vector>

namespace cibrano {

class MissingValues {
public:
    static constexpr const char* kFieldName = "Mancanti";
    // Its size as a text field: room for every value's name.
    static constexpr int kFieldSize = 100;

    MissingValues() = default;
    // The names a field's text lists; blanks around and between them do not count.
    explicit MissingValues(const AnsiString& text);

    bool lists(const AnsiString& field) const;
    bool empty() const { return names_.empty(); }
    // The field listed (not known) or not (known); the names stay in the order of `order`,
    // the table's fields, a name it lacks going last.
    void set(const AnsiString& field, bool missing, const std::vector<AnsiString>& order);
    // The text the field keeps.
    AnsiString text() const;

private:
    std::vector<AnsiString> names_;
};

} // namespace cibrano

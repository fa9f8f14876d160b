#pragma once
// A table dataset's Filter text as conditions that records are tested against: parsed once when
// the text is set, bound to the table's fields each time the visible records are rebuilt, then
// evaluated on each stored record.
//
// What the right-hand constants stand for: a number or a quoted text is converted to the left
// field's type; NULL is the empty value of the left field's kind (no text, 0, false, no date);
// TRUE and FALSE are the words themselves, which a boolean field reads as true and false, a
// text field compares as text, and a number or date field refuses. A quoted text that names a
// field of the table is that field, so a comparison of two fields can be written either way.

#include "engine/query/ZerovCondition.h"
#include "engine/record/RecordEntry.h"
#include "engine/record/ZerovField.h"
#include "platform/AnsiString.h"

#include <cstdint>
#include <string_view>
#include <vector>

namespace cibrano {

class TComponent;

class TZerovFilter {
public:
    // Errors are raised as EDatabaseError, prefixed with the name of `errorSource` when it has
    // one.
    explicit TZerovFilter(const TComponent* errorSource = nullptr) : errorSource_(errorSource) {}
    TZerovFilter(const TZerovFilter&) = delete;
    TZerovFilter& operator=(const TZerovFilter&) = delete;

    // Replaces the conditions with those of the text (none for an empty text). The old ones go
    // first, so when the text does not parse, what remains is what was read before the error:
    // nothing after a tokenizer error, the complete conditions before a reader error.
    void parse(const AnsiString& text);
    void clear();
    const TZerovConditionList& conditions() const { return conditions_; }

    // Binds the conditions to the fields of the table whose records will be tested. Raises
    // "Field %s is not found" for an operand that must be a field and is none, "Types of
    // compared fields are not equal" for two fields that cannot be compared, an invalid-mask
    // error for a LIKE pattern and "'%s' is not a valid value for field %s" for a constant the
    // left field cannot hold.
    void prepare(const std::vector<TZerovField>& fields);

    // Whether the record passes every condition; a record without values passes none. Texts
    // compare ignoring case when `caseInsensitive` (LIKE always ignores case). Needs prepare().
    bool accepts(const RecordEntry& entry, bool caseInsensitive) const;

private:
    // How one prepared condition is tested.
    enum TestKind : uint8_t {
        testPass,         // *= : always passes
        testLikeConstant, // the left text against the compiled mask
        testLikeField,    // the left text against the right field's text as a pattern
        testFieldSlots,   // two fields of the same kind, slot against slot
        testFieldTexts,   // two text fields, text against text
        testConstantSlot, // the left slot against the converted constant
        testConstantText, // the left text against the constant text
    };
    struct Prepared {
        TestKind test = testPass;
        std::vector<uint8_t> slot; // the converted constant, laid out as the left field's slot
    };

    [[noreturn]] void fail(const AnsiString& text) const;

    const TComponent* errorSource_;
    TZerovConditionList conditions_;
    std::vector<Prepared> prepared_; // one per condition once prepared
};

// Whether `text` denotes a value that a slot of the field can hold exactly: a whole number in
// the range of an integer field, a number for a float field, a date or time in the regional
// formats for the date kinds, a text no longer than a text field keeps. The empty text is the
// empty value and always fits; booleans take any text.
bool textDenotesValue(std::string_view text, const TZerovField& f);

} // namespace cibrano

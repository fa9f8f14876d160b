#pragma once
// Reading a text field's value in place. The scans of locate and of the find box look at one
// text in every record of the view; reading it through the field (stringValue) copies it into
// a new string, and the dataset's transliteration copies it again. Where nothing can make the
// value differ from the stored bytes, the scans compare the record's own bytes instead and
// give the same answers.

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace cibrano {

class TDataSet;
class TField;
struct TZerovField;

// Where a text field's value lies in the stored records, and what reading it does to the
// stored bytes: a text longer than the field's size is cut to it, a fixed-length text field
// drops its trailing blanks.
struct StoredTextSlot {
    const TZerovField* slot = nullptr;
    size_t fieldSize = 0;
    bool trimTrailingBlanks = false;

    explicit operator bool() const { return slot != nullptr; }
    // The value the field reads from `record` (a stored record of the dataset): false when it
    // reads as null, else true with the text, which stays valid until the record changes.
    bool read(const uint8_t* record, std::string_view& text) const;
};

// The slot of `field` when its value, read in the filter state, is the candidate record's
// stored text as it is: a text field of the framework's own class (TStringField) bound to a
// stored text slot of one of the engine's own table datasets (whose transliteration leaves
// texts alone), with no value of it being validated. Otherwise none: the value must be read
// through the field, as a field or dataset class of the application's may read it otherwise.
StoredTextSlot storedTextSlot(const TDataSet* dataSet, const TField* field);

// The text `field` reads (empty when null) in the record `dataSet` is filtering, read in place
// as above; false when the dataset is not filtering a record or the value must be read
// through the field.
bool candidateTextInPlace(const TDataSet* dataSet, const TField* field, std::string_view& text);

} // namespace cibrano

#pragma once
// The sort room (engine/sort/): ordering records. The quicksort every sort of records goes
// through, these key buffers, the ranking of keys and the quicksort over ranks that the view
// sort uses. It works on entries and key values (the record room) and sits under the store,
// which sorts its own list with it, and the table dataset, which sorts its view.
//
// Key buffers: a record image holding key values, with the fields that make up the key. A table
// dataset keeps four of them while it is open (the sort key, the search key and the two bounds
// of its range), and one comparison of records against them serves sorting the view, the range
// test and searching.

#include "engine/record/ZerovField.h"
#include "platform/AnsiString.h"

#include <cstdint>
#include <vector>

namespace cibrano {

class TField;

enum TKeyIndex { indexKey, searchKey, rangeStartKey, rangeEndKey };

// One field of a key: the store's description of it and how its values are ordered.
struct KeyField {
    const TZerovField* field = nullptr;
    // A text key shown right-justified orders by length first ("9" before "10"): its values
    // are read as numbers padded on the left. The flag lives here, not in the store's field
    // description, because clones share the descriptions but not their fields' alignment.
    bool rightJustified = false;
};

class KeyBuffer {
public:
    // A zero-filled image of `imageSize` bytes (the table's record image size).
    KeyBuffer(TKeyIndex kind, int imageSize);
    // Frees the image; the values it refers to must have been released (releaseValues).
    ~KeyBuffer();
    KeyBuffer(const KeyBuffer&) = delete;
    KeyBuffer& operator=(const KeyBuffer&) = delete;

    TKeyIndex kind() const { return kind_; }
    uint8_t* image() { return image_; }
    const uint8_t* image() const { return image_; }
    int imageSize() const { return imageSize_; }

    // Releases the texts the image refers to and zeroes the image; `layout` is the table's
    // field list the image is laid out by.
    void releaseValues(const std::vector<TZerovField>& layout);

    // The key's fields, in the order named; `dataFields` holds the dataset's field for each.
    std::vector<KeyField> fields;
    std::vector<TField*> dataFields;
    // Bounds are inclusive; kept for what a range asks of its keys.
    bool exclusive = false;
    // How many leading key fields take part in comparisons.
    int comparedCount = 0;

    int fieldCount() const { return static_cast<int>(fields.size()); }
    // The store fields of the key, for the store's own comparisons.
    ZerovFieldList storeFields() const;

private:
    TKeyIndex kind_;
    int imageSize_;
    uint8_t* image_;
};

// Releases the texts and BLOBs that a record image laid out by `layout` refers to.
void releaseImageValues(uint8_t* image, const std::vector<TZerovField>& layout);

// Orders two record images by the first `count` fields of the key (all of them when `count` is
// negative): the first non-zero comparison decides. Texts compare case-sensitively unless
// `caseInsensitive`; a right-justified text key compares shorter values first.
int compareKeyValues(const uint8_t* a, const uint8_t* b, const std::vector<KeyField>& fields,
                     int count, bool caseInsensitive);

} // namespace cibrano

#include "engine/sort/KeyBufferSort.h"

#include "engine/sort/KeyRank.h"
#include "engine/sort/RankQuickSort.h"
#include "engine/sort/RecordSort.h"
#include "platform/AnsiCase.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <limits>

namespace cibrano {

namespace {

// How the gathered values of a key field compare; each answers as compareFieldValues does for
// the kinds it stands for.
enum class KeyClass : uint8_t {
    integer, // whole numbers, dates, times, and booleans as 0 for true and 1 for false
    number,  // floats, currency and date-times, compared as doubles (a NaN equals anything)
    text,    // a span of bytes (upper-cased when the case is ignored); kind s may be missing
    none,    // kinds that are never ordered
};

// One field's value in one record; a text is a copy of it, upper-cased when the case is
// ignored. `row` is the record's position before sorting, kept with the first key value
// only: it finds the record's further key values.
struct KeyValue {
    union {
        int64_t integer;
        double number;
        const char* text;
    };
    uint32_t length;
    uint32_t row;
};

struct SortItem {
    KeyValue key;
    RecordEntry* entry;
};

struct GatheredField {
    const TZerovField* field;
    KeyClass keyClass;
    // The length decides first (right-justified texts).
    bool lengthFirst;
    // A missing text (kind s) sorts before every other, even the empty one.
    bool canBeMissing;
};

KeyClass classOf(uint8_t kind) {
    switch (kind) {
    case kindSmallint:
    case kindInteger:
    case kindBoolean:
    case kindDate:
    case kindTime:
    case kindAutoInc:
        return KeyClass::integer;
    case kindFloat:
    case kindCurrency:
    case kindDateTime:
        return KeyClass::number;
    case kindFixedText:
    case kindText:
        return KeyClass::text;
    default:
        return KeyClass::none;
    }
}

int sign(int r) {
    return (r > 0) - (r < 0);
}

template <typename T> int compareOrdered(T a, T b) {
    return (a > b) - (a < b);
}

int compareTextValues(const KeyValue& a, const KeyValue& b, const GatheredField& f) {
    if (f.lengthFirst && a.length != b.length)
        return a.length < b.length ? -1 : 1;
    if (f.canBeMissing && (!a.text || !b.text))
        return a.text ? 1 : (b.text ? -1 : 0);
    if (a.length != 0 && b.length != 0) {
        const int r = std::memcmp(a.text, b.text, std::min(a.length, b.length));
        if (r != 0)
            return r;
    }
    return compareOrdered(a.length, b.length);
}

template <KeyClass C> int compareAs(const KeyValue& a, const KeyValue& b, const GatheredField& f) {
    if constexpr (C == KeyClass::integer)
        return compareOrdered(a.integer, b.integer);
    else if constexpr (C == KeyClass::number)
        return compareOrdered(a.number, b.number);
    else if constexpr (C == KeyClass::text)
        return compareTextValues(a, b, f);
    else
        return 0;
}

int compareValues(const KeyValue& a, const KeyValue& b, const GatheredField& f) {
    switch (f.keyClass) {
    case KeyClass::integer:
        return compareAs<KeyClass::integer>(a, b, f);
    case KeyClass::number:
        return compareAs<KeyClass::number>(a, b, f);
    case KeyClass::text:
        return compareAs<KeyClass::text>(a, b, f);
    case KeyClass::none:
        break;
    }
    return 0;
}

// Gathers the key values of every record: the first field's into the items, the others'
// into `rest` (fields - 1 values a record, in record order). Texts are copied one after the
// other into one block, where the comparisons find them close together instead of scattered
// over the records. False when a text is too long to be held here.
class KeyGatherer {
public:
    KeyGatherer(const std::vector<KeyField>& keyFields, bool caseInsensitive) {
        for (const KeyField& k : keyFields) {
            const uint8_t kind = k.field->storageKind;
            const KeyClass keyClass = classOf(kind);
            fields.push_back({k.field, keyClass, keyClass == KeyClass::text && k.rightJustified,
                              kind == kindText});
        }
        // Ignoring case compares the upper-case forms of the bytes.
        for (int c = 0; c < 256; ++c) {
            const auto byte = static_cast<unsigned char>(c);
            copyOf_[byte] = caseInsensitive ? ansiUpperChar(byte) : byte;
        }
        // Never empty, so that an empty text has an address and is not taken for a missing one.
        copies_.push_back('\0');
    }

    bool gather(const std::vector<RecordEntry*>& records, std::vector<SortItem>& items,
                std::vector<KeyValue>& rest) {
        const size_t restCount = fields.size() - 1;
        items.resize(records.size());
        rest.resize(records.size() * restCount);
        for (size_t row = 0; row < records.size(); ++row) {
            const uint8_t* data = records[row]->data;
            SortItem& item = items[row];
            item.entry = records[row];
            if (!read(data, fields[0], item.key))
                return false;
            item.key.row = static_cast<uint32_t>(row);
            for (size_t i = 0; i < restCount; ++i)
                if (!read(data, fields[i + 1], rest[row * restCount + i]))
                    return false;
        }
        // The copies have their final address only now.
        for (SortItem& item : items)
            settle(item.key, fields[0]);
        for (size_t i = 0; i < rest.size(); ++i)
            settle(rest[i], fields[i % restCount + 1]);
        return true;
    }

    std::vector<GatheredField> fields;

private:
    static constexpr int64_t kMissing = -1;

    bool read(const uint8_t* data, const GatheredField& g, KeyValue& value) {
        const TZerovField& f = *g.field;
        const uint8_t* slot = slotOf(data, f);
        value.length = 0;
        value.row = 0;
        switch (f.storageKind) {
        case kindSmallint:
            value.integer = readSlot<int16_t>(slot);
            return true;
        case kindInteger:
        case kindDate:
        case kindTime:
        case kindAutoInc:
            value.integer = readSlot<int32_t>(slot);
            return true;
        case kindBoolean:
            value.integer = readSlot<int16_t>(slot) != 0 ? 0 : 1; // true sorts first
            return true;
        case kindFloat:
        case kindCurrency:
        case kindDateTime:
            value.number = readSlot<double>(slot);
            return true;
        case kindFixedText: {
            // A damaged record can fill the whole slot: its text ends there.
            const auto* text = reinterpret_cast<const char*>(slot);
            return readText(text, strnlen(text, f.dataSize), value);
        }
        case kindText: {
            const char* text = textRefAt(slot);
            return readText(text, text ? std::strlen(text) : 0, value);
        }
        default:
            value.integer = 0;
            return true;
        }
    }

    bool readText(const char* text, size_t length, KeyValue& value) {
        if (length > std::numeric_limits<uint32_t>::max())
            return false;
        value.length = static_cast<uint32_t>(length);
        if (!text) {
            value.integer = kMissing;
            return true;
        }
        const size_t at = copies_.size();
        value.integer = static_cast<int64_t>(at);
        copies_.resize(at + length);
        for (size_t i = 0; i < length; ++i)
            copies_[at + i] = static_cast<char>(copyOf_[static_cast<unsigned char>(text[i])]);
        return true;
    }

    void settle(KeyValue& value, const GatheredField& g) const {
        if (g.keyClass != KeyClass::text)
            return;
        const int64_t offset = value.integer;
        value.text = offset == kMissing ? nullptr : copies_.data() + offset;
    }

    std::array<unsigned char, 256> copyOf_{};
    std::vector<char> copies_;
};

template <KeyClass C>
void sortItems(std::vector<SortItem>& items, const std::vector<GatheredField>& fields,
               const std::vector<KeyValue>& rest, bool descending) {
    const GatheredField& first = fields.front();
    const size_t restCount = fields.size() - 1;
    quickSortRecords(items, [&](const SortItem& a, const SortItem& b) {
        int r = compareAs<C>(a.key, b.key, first);
        if (r == 0 && restCount > 0) {
            const KeyValue* ra = rest.data() + a.key.row * restCount;
            const KeyValue* rb = rest.data() + b.key.row * restCount;
            for (size_t i = 0; i < restCount && r == 0; ++i)
                r = compareValues(ra[i], rb[i], fields[i + 1]);
        }
        r = sign(r);
        return descending ? -r : r;
    });
}

void sortPlain(std::vector<RecordEntry*>& records, const std::vector<KeyField>& fields,
               bool caseInsensitive, bool descending) {
    quickSortRecords(records, [&](const RecordEntry* a, const RecordEntry* b) {
        const int r = compareKeyValues(a->data, b->data, fields, -1, caseInsensitive);
        return descending ? -r : r;
    });
}

// Puts the records in the order the quicksort gives them by their keys' ranks (descending:
// by the ranks counted from the other end), which is the order it gives them by their keys.
void placeByRank(std::vector<RecordEntry*>& records, std::vector<uint32_t>& ranks,
                 uint32_t classCount, bool descending) {
    if (descending)
        for (uint32_t& r : ranks)
            r = classCount - 1 - r;
    const std::vector<uint32_t> order = quickSortOrderOfRanks(ranks, classCount);
    ranks = {};
    const std::vector<RecordEntry*> original = records;
    for (size_t i = 0; i < order.size(); ++i)
        records[i] = original[order[i]];
}

} // namespace

void sortRecordsByKey(std::vector<RecordEntry*>& records, const std::vector<KeyField>& fields,
                      bool caseInsensitive, bool descending) {
    if (records.size() < 2 || fields.empty())
        return;
    // BLOBs are never a sort key (laying out the key refuses them); should one be asked for,
    // the plain comparison orders it.
    if (records.size() > std::numeric_limits<uint32_t>::max() ||
        std::any_of(fields.begin(), fields.end(),
                    [](const KeyField& k) { return isBlobKind(k.field->storageKind); })) {
        sortPlain(records, fields, caseInsensitive, descending);
        return;
    }
    {
        std::vector<uint32_t> ranks;
        uint32_t classCount = 0;
        if (rankRecordKeys(records, fields, caseInsensitive, ranks, classCount)) {
            placeByRank(records, ranks, classCount, descending);
            return;
        }
    }
    // Keys that cannot be ranked (a NaN among the numbers) are compared as they are.
    KeyGatherer gatherer(fields, caseInsensitive);
    std::vector<SortItem> items;
    std::vector<KeyValue> rest;
    if (!gatherer.gather(records, items, rest)) {
        sortPlain(records, fields, caseInsensitive, descending);
        return;
    }
    const std::vector<GatheredField>& gathered = gatherer.fields;
    switch (gathered.front().keyClass) {
    case KeyClass::integer:
        sortItems<KeyClass::integer>(items, gathered, rest, descending);
        break;
    case KeyClass::number:
        sortItems<KeyClass::number>(items, gathered, rest, descending);
        break;
    case KeyClass::text:
        sortItems<KeyClass::text>(items, gathered, rest, descending);
        break;
    case KeyClass::none:
        sortItems<KeyClass::none>(items, gathered, rest, descending);
        break;
    }
    for (size_t i = 0; i < items.size(); ++i)
        records[i] = items[i].entry;
}

} // namespace cibrano

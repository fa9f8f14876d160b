#include "engine/table/DOvuzaZerivir.h"

#include "dataset/Field.h"
#include "engine/record/FieldValues.h"
#include "engine/table/StoredText.h"
#include "platform/AnsiCase.h"
#include "platform/DatabaseError.h"
#include "platform/RunThenAlways.h"

#include <algorithm>

// Searching: the find steps behind find first / last / next / prior, locate (make the first
// matching record current) and lookup (read the values of the first matching record without
// moving).

namespace cibrano {

// --- Find first / last / next / prior ---------------------------------------------------------

bool DOvuzaZerivir::passesFilter(RecordEntry* entry) {
    if (!entry->data)
        return false; // removed through a clone since the view was built
    if (!Filter().empty() && !filter_.accepts(*entry, FilterOptions().contains(foCaseInsensitive)))
        return false;
    return !OnFilterRecord || filterRecordAccepts(entry);
}

int DOvuzaZerivir::scanForMatch(int start, bool forward) {
    RecordEntry* previous = candidate_;
    DatasetState saved = setTempState(stateFilter);
    int found = -1;
    runThenAlways(
        [&] {
            for (int i = start; i >= 0 && i < static_cast<int>(view_.size());
                 i += forward ? 1 : -1) {
                if (passesFilter(view_[static_cast<size_t>(i)])) {
                    found = i;
                    break;
                }
            }
        },
        [&] {
            candidate_ = previous;
            restoreState(saved);
        });
    return found;
}

bool DOvuzaZerivir::findRecordStep(bool restart, bool forward) {
    settlePendingEdit();
    doBeforeScroll();
    bool found = false;
    // Steps count from the record the user sees, wherever the window left the cursor.
    updateCursorPosition();
    cursorPositionChanged();
    const int count = static_cast<int>(view_.size());
    if (Filtered()) {
        // The view holds only accepted records: the step is a move within it.
        int target = restart ? (forward ? 0 : count - 1)
                             : std::clamp(viewPosition_, -1, count) + (forward ? 1 : -1);
        if (count > 0 && target >= 0 && target < count) {
            viewPosition_ = target;
            found = true;
        }
    } else {
        if (!Filter().empty())
            filter_.prepare(layout_);
        int start = restart ? (forward ? 0 : count - 1)
                            : std::clamp(viewPosition_, -1, count) + (forward ? 1 : -1);
        const int match = scanForMatch(start, forward);
        if (match >= 0) {
            viewPosition_ = match;
            found = true;
        }
    }
    if (found) {
        refillBuffers(true, true);
        doAfterScroll();
    }
    return found;
}

// --- Locate and lookup --------------------------------------------------------------------------

namespace {

// Each byte as a search compares it: upper-cased by the case rule when the case is ignored.
struct ByteMap {
    unsigned char to[256];
    explicit ByteMap(bool ignoreCase) {
        for (int c = 0; c < 256; ++c)
            to[c] = ignoreCase ? ansiUpperChar(static_cast<unsigned char>(c))
                               : static_cast<unsigned char>(c);
    }
};

// Whether a text field's value in a stored record equals `search` or, for a partial key,
// begins with it, each of its bytes mapped before the comparison. The value is the stored text
// cut to the field's size, as the field reads it; a null value matches nothing. Compares in
// place, stopping at the first byte that differs.
bool storedTextMatches(const StoredTextSlot& key, const uint8_t* record, std::string_view search,
                       bool partial, const ByteMap& map) {
    const uint8_t* at = slotOf(record, *key.slot);
    const char* text;
    size_t limit = key.fieldSize;
    if (key.slot->storageKind == kindText) {
        text = textRefAt(at);
        if (!text)
            return false;
    } else {
        if (std::all_of(at, at + key.slot->dataSize, [](uint8_t b) { return b == 0; }))
            return false;
        text = reinterpret_cast<const char*>(at);
        limit = std::min<size_t>(limit, key.slot->dataSize);
    }
    const size_t n = search.size();
    if (n > limit)
        return false; // the value is never longer than the limit
    for (size_t k = 0; k < n; ++k) {
        const auto c = static_cast<unsigned char>(text[k]);
        if (c == 0 || map.to[c] != static_cast<unsigned char>(search[k]))
            return false;
    }
    // Equal only when the value ends here: at a zero byte or at the limit.
    return partial || n == limit || text[n] == 0;
}

} // namespace

bool DOvuzaZerivir::candidateMatchesKeys(const TVariant& keyValues, TLocateOptions options,
                                         const SearchTexts& searchTexts) {
    const std::vector<TField*>& fields = keys_[searchKey]->dataFields;
    const bool ignoreCase = options.contains(loCaseInsensitive);
    for (size_t i = 0; i < fields.size(); ++i) {
        const TVariant& wanted =
            keyValues.isArray() ? keyValues.element(static_cast<int>(i)) : keyValues;
        if (fields[i]->DataType() == ftString) {
            // The field's text as its value gives it, compared with the search text worked
            // out once for the scan; upper-casing keeps a text's length, byte for byte.
            if (fields[i]->isNull())
                return false;
            const AnsiString text = fields[i]->stringValue();
            if (!wanted.hasValue() || !searchTexts[i].first)
                return false;
            const AnsiString& search = searchTexts[i].second;
            if (options.contains(loPartialKey)) {
                // An empty search text would begin every text: it finds nothing.
                if (search.empty() || text.size() < search.size())
                    return false;
            } else if (text.size() != search.size()) {
                return false;
            }
            for (size_t k = 0; k < search.size(); ++k) {
                const auto c = static_cast<unsigned char>(text[k]);
                if ((ignoreCase ? ansiUpperChar(c) : c) != static_cast<unsigned char>(search[k]))
                    return false;
            }
            continue;
        }
        const TVariant have = fields[i]->value();
        if (!wanted.hasValue() || !have.hasValue())
            return false;
        try {
            if (have.convertedTo(wanted.kind()) != wanted)
                return false;
        } catch (const EDatabaseError&) {
            // A value with no form of the other's kind cannot equal it.
            return false;
        }
    }
    return true;
}

int DOvuzaZerivir::scanForKeys(const TVariant& keyValues, TLocateOptions options) {
    SearchTexts searchTexts;
    const size_t keyCount = keys_[searchKey]->dataFields.size();
    for (size_t i = 0; i < keyCount; ++i) {
        const TVariant& wanted =
            keyValues.isArray() ? keyValues.element(static_cast<int>(i)) : keyValues;
        std::pair<bool, AnsiString> search;
        if (wanted.hasValue()) {
            try {
                search.second = wanted.asString();
                search.first = true;
            } catch (const EDatabaseError&) {
                // No text form: no text field can equal it.
            }
            if (options.contains(loCaseInsensitive))
                search.second = ansiUpperCase(search.second);
        }
        searchTexts.push_back(std::move(search));
    }
    // Text keys of the engine's own text fields are compared in the records themselves, with
    // the very answers of candidateMatchesKeys; any other key reads through its field.
    const std::vector<TField*>& fields = keys_[searchKey]->dataFields;
    std::vector<StoredTextSlot> inPlace;
    for (TField* f : fields) {
        if (f->DataType() != ftString)
            break;
        const StoredTextSlot slot = storedTextSlot(this, f);
        if (!slot || slot.trimTrailingBlanks)
            break;
        inPlace.push_back(slot);
    }
    if (inPlace.size() != fields.size())
        inPlace.clear();
    // Where a key's search value has no text, or a partial key's text is empty, no record
    // matches.
    bool anyCanMatch = true;
    for (size_t i = 0; i < inPlace.size(); ++i) {
        const TVariant& wanted =
            keyValues.isArray() ? keyValues.element(static_cast<int>(i)) : keyValues;
        if (!wanted.hasValue() || !searchTexts[i].first ||
            (options.contains(loPartialKey) && searchTexts[i].second.empty()))
            anyCanMatch = false;
    }
    const ByteMap map(options.contains(loCaseInsensitive));
    const bool partial = options.contains(loPartialKey);

    RecordEntry* previous = candidate_;
    DatasetState saved = setTempState(stateFilter);
    int found = -1;
    runThenAlways(
        [&] {
            if (!inPlace.empty()) {
                for (size_t i = 0; anyCanMatch && i < view_.size(); ++i) {
                    const uint8_t* record = view_[i]->data;
                    if (!record)
                        continue;
                    size_t k = 0;
                    while (
                        k < inPlace.size() &&
                        storedTextMatches(inPlace[k], record, searchTexts[k].second, partial, map))
                        ++k;
                    if (k == inPlace.size()) {
                        found = static_cast<int>(i);
                        break;
                    }
                }
                return;
            }
            for (size_t i = 0; i < view_.size(); ++i) {
                RecordEntry* entry = view_[i];
                if (!entry->data)
                    continue;
                candidate_ = entry;
                if (candidateMatchesKeys(keyValues, options, searchTexts)) {
                    found = static_cast<int>(i);
                    break;
                }
            }
        },
        [&] {
            candidate_ = previous;
            restoreState(saved);
        });
    return found;
}

bool DOvuzaZerivir::writeSearchValue(int keyIndex, const TVariant& value) {
    if (!value.hasValue())
        return true; // skipped: the key field stays empty
    KeyBuffer& key = *keys_[searchKey];
    const TZerovField& f = *key.fields[static_cast<size_t>(keyIndex)].field;
    uint8_t* slot = slotOf(key.image(), f);
    // A number goes into a float slot as it is: its text may not give back the same double.
    if ((f.storageKind == kindFloat || f.storageKind == kindCurrency) &&
        (value.kind() == vkFloat || value.kind() == vkInteger)) {
        writeSlot(slot, value.asFloat());
        return true;
    }
    AnsiString text;
    try {
        text = value.asString();
    } catch (const EDatabaseError&) {
        return false;
    }
    // A text the field cannot hold would be cut or dropped on conversion and then find
    // records it does not equal.
    if (!textDenotesValue(text, f))
        return false;
    fieldValueFromText(slot, text, f);
    return true;
}

int DOvuzaZerivir::findExactKey(const AnsiString& keyFields, const TVariant& keyValues) {
    const KeyBuffer& key = *keys_[searchKey];
    if (keyValues.isArray()) {
        const int n = std::min(key.fieldCount(), keyValues.elementCount());
        for (int i = 0; i < n; ++i)
            if (!writeSearchValue(i, keyValues.element(i)))
                return -1;
    } else if (key.fieldCount() > 0 && !writeSearchValue(0, keyValues)) {
        return -1;
    }
    return findByKey(0, keyOrderUsable(keyFields));
}

bool DOvuzaZerivir::locate(const AnsiString& keyFields, const TVariant& keyValues,
                           TLocateOptions options) {
    checkActive();
    doBeforeScroll();
    settlePendingEdit();
    cursorPositionChanged();
    if (view_.empty() || keyFields.empty() || !keyValues.hasValue())
        return false;
    prepareKey(searchKey, keyFields);
    const int found =
        options.empty() ? findExactKey(keyFields, keyValues) : scanForKeys(keyValues, options);
    if (found < 0)
        return false;
    viewPosition_ = found;
    refillBuffers(true, true);
    doAfterScroll();
    return true;
}

TVariant DOvuzaZerivir::lookup(const AnsiString& keyFields, const TVariant& keyValues,
                               const AnsiString& resultFields) {
    checkActive();
    const std::vector<TField*> results = getFieldList(resultFields);
    if (view_.empty() || keyFields.empty() || !keyValues.hasValue())
        return TVariant::null();
    prepareKey(searchKey, keyFields);
    const int found = findExactKey(keyFields, keyValues);
    if (found < 0 || !view_[static_cast<size_t>(found)]->data)
        return TVariant::null();

    // The record is read into a buffer of the lookup's own: the window's buffers, the spare
    // among them, may be in use by a fetch that asked for this lookup.
    RecordEntry* entry = view_[static_cast<size_t>(found)];
    uint8_t* const buffer = newRecordBuffer();
    uint8_t* const previousBuffer = lookupBuffer_;
    const int savedPosition = viewPosition_;
    DatasetState saved = setTempState(stateCalcFields);
    auto restore = [&] {
        lookupBuffer_ = previousBuffer;
        restoreState(saved);
        viewPosition_ = savedPosition;
        disposeRecordBuffer(buffer);
    };
    TVariant result;
    try {
        viewPosition_ = found;
        copyStoredRecord(entry->data, buffer);
        setTrailer(buffer, entry, bookmarkCurrent, found + 1);
        computeCalcFields(buffer);
        lookupBuffer_ = buffer;
        if (results.size() == 1) {
            result = results.front()->value();
        } else {
            std::vector<TVariant> values;
            values.reserve(results.size());
            for (TField* f : results)
                values.push_back(f->value());
            result = TVariant(std::move(values));
        }
    } catch (...) {
        restore();
        throw;
    }
    restore();
    return result;
}

} // namespace cibrano

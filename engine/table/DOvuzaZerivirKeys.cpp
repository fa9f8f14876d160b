#include "engine/table/DOvuzaZerivir.h"

#include "dataset/Field.h"
#include "engine/record/FieldValues.h"
#include "engine/table/ZerovDatasetConst.h"
#include "platform/AnsiCase.h"
#include "platform/DatabaseError.h"

#include <string_view>

// Sort keys, ranges and searching by key: the four key buffers, the properties that lay them
// out, and the comparisons of records against them.

namespace cibrano {

void DOvuzaZerivir::setIndexFieldNames(const AnsiString& names) {
    // The same text again (a second click on the same column title) changes nothing.
    if (names == indexFieldNames_)
        return;
    const AnsiString previous = indexFieldNames_;
    indexFieldNames_ = names;
    if (!Active())
        return;
    try {
        prepareKey(indexKey);
    } catch (...) {
        // A name that cannot be a key leaves the order as it was.
        indexFieldNames_ = previous;
        prepareKey(indexKey);
        throw;
    }
    rebuildView(true);
}

void DOvuzaZerivir::setSortOptions(TZerovSortOptions options) {
    sortOptions_ = options;
    if (Active())
        rebuildView(true);
}

void DOvuzaZerivir::setRangeFieldNames(const AnsiString& names) {
    const AnsiString previous = rangeFieldNames_;
    rangeFieldNames_ = names;
    if (Active()) {
        try {
            prepareKey(rangeStartKey);
            prepareKey(rangeEndKey);
        } catch (...) {
            rangeFieldNames_ = previous;
            prepareKey(rangeStartKey);
            prepareKey(rangeEndKey);
            throw;
        }
    }
    if (masterRangeWanted())
        applyMasterRange();
}

void DOvuzaZerivir::prepareKey(TKeyIndex kind, const AnsiString& names) {
    KeyBuffer* key = keys_[kind].get();
    if (!key)
        return;
    key->releaseValues(layout_);
    const AnsiString& used = kind == indexKey    ? indexFieldNames_
                             : kind == searchKey ? names
                                                 : rangeFieldNames_;
    key->fields.clear();
    key->dataFields.clear();
    key->comparedCount = 0;
    key->exclusive = false;
    if (used.empty() || !store_)
        return;
    std::vector<TField*> dataFields = getFieldList(used);
    std::vector<KeyField> fields;
    for (TField* f : dataFields) {
        // Only stored, comparable fields can order records: not calculated or lookup fields,
        // not BLOBs.
        const TZerovField* stored = layoutField(f);
        if (!stored || f->FieldKind() != fkData || isBlobKind(stored->storageKind))
            databaseError(dsmsg::CalcOrBlobKeyFields, this);
        fields.push_back({stored, f->Alignment() == taRightJustify});
    }
    key->fields = std::move(fields);
    key->dataFields = std::move(dataFields);
    key->comparedCount = key->fieldCount();
}

void DOvuzaZerivir::fillKeyFromText(TKeyIndex kind, const AnsiString& keyText) {
    DatasetState saved = setTempState(stateSetKey);
    try {
        KeyBuffer* key = keys_[kind].get();
        if (kind != searchKey) {
            prepareKey(kind);
        } else if (key) {
            // The search key keeps the fields it was last laid out with.
            key->releaseValues(layout_);
            key->comparedCount = key->fieldCount();
        }
        if (key) {
            keyBeingFilled_ = key;
            std::string_view text = keyText;
            int visited = 0;
            for (const KeyField& k : key->fields) {
                if (text.empty())
                    break;
                size_t tab = text.find('\t');
                std::string_view value = text.substr(0, tab);
                text = tab == std::string_view::npos ? std::string_view() : text.substr(tab + 1);
                if (!value.empty())
                    fieldValueFromText(slotOf(key->image(), *k.field), value, *k.field);
                ++visited;
            }
            if (visited < key->fieldCount())
                key->comparedCount = visited;
        }
    } catch (...) {
        keyBeingFilled_ = nullptr;
        restoreState(saved);
        throw;
    }
    keyBeingFilled_ = nullptr;
    restoreState(saved);
}

AnsiString DOvuzaZerivir::currentKeyText(const AnsiString& names) const {
    AnsiString text;
    for (TField* f : getFieldList(names)) {
        text += f->stringValue();
        text += '\t';
    }
    return text;
}

void DOvuzaZerivir::setRange(const AnsiString& startKeyText, const AnsiString& endKeyText) {
    if (!store_)
        return;
    fillKeyFromText(rangeStartKey, startKeyText);
    fillKeyFromText(rangeEndKey, endKeyText);
    // A pending edit is dropped, neither posted nor cancelled: the record it was on may be
    // outside the new range.
    if (Active())
        setState(stateBrowse);
    rangeActive_ = true;
    if (Active()) {
        rebuildView(false);
        moveFirst();
    }
}

void DOvuzaZerivir::cancelRange() {
    if (!store_)
        databaseError(dsmsg::ClosedDataset, this);
    if (Active())
        setState(stateBrowse);
    rangeActive_ = false;
    if (Active()) {
        rebuildView(true);
        refillBuffers(false, false);
    }
}

bool DOvuzaZerivir::keyOrderUsable(const AnsiString& names) const {
    if (sortOptions_.contains(vsoCaseInsensitive) || !viewSorted_)
        return false;
    const AnsiString wanted = ansiUpperCase(names);
    const AnsiString index = ansiUpperCase(indexFieldNames_);
    if (wanted.size() > index.size() || index.compare(0, wanted.size(), wanted) != 0)
        return false;
    return wanted.size() == index.size() || index[wanted.size()] == ';';
}

int DOvuzaZerivir::findByKey(int start, bool binary) const {
    const KeyBuffer* key = keys_[searchKey].get();
    if (!key)
        return -1;
    const int count = static_cast<int>(view_.size());
    const int compared = key->comparedCount;
    auto compare = [&](int i) {
        return compareKeyValues(view_[static_cast<size_t>(i)]->data, key->image(), key->fields,
                                compared, false);
    };
    if (!binary) {
        for (int i = std::max(start, 0); i < count; ++i)
            if (view_[static_cast<size_t>(i)]->data && compare(i) == 0)
                return i;
        return -1;
    }
    const bool descending = sortOptions_.contains(vsoDescendSort);
    int lo = std::max(start, 0);
    int hi = count - 1;
    int result = -1;
    while (hi >= lo) {
        const int mid = lo + (hi - lo) / 2;
        if (!view_[static_cast<size_t>(mid)]->data)
            return findByKey(start, false);
        const int r = compare(mid);
        if ((r < 0 && !descending) || (r > 0 && descending)) {
            lo = mid + 1;
        } else {
            hi = mid - 1;
            if (r == 0)
                result = mid;
        }
    }
    return result;
}

} // namespace cibrano

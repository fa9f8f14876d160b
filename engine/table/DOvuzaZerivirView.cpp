#include "engine/table/DOvuzaZerivir.h"

#include "engine/sort/KeyBufferSort.h"

#include <algorithm>

// The record view: which records of the store are visible and in which order, and the
// properties whose change rebuilds it (Filtered, Filter; the sort properties are with the
// keys in DOvuzaZerivirKeys.cpp).

namespace cibrano {

void DOvuzaZerivir::setFiltered(bool value) {
    if (!Active()) {
        TDataSet::setFiltered(value);
        return;
    }
    settlePendingEdit();
    TDataSet::setFiltered(value);
    // A handler that closed the dataset leaves the setting for the next open.
    if (!Active())
        return;
    rebuildView(true);
    if (Active())
        moveFirst();
}

void DOvuzaZerivir::setFilter(const AnsiString& text) {
    // A text that does not parse raises here, before it is kept; the conditions read before
    // the error stay in force until a text that parses is set.
    filter_.parse(text);
    TDataSet::setFilter(text);
    if (Active()) {
        settlePendingEdit();
        rebuildView(true);
    }
}

void DOvuzaZerivir::setFilterOptions(TFilterOptions options) {
    const bool changed = options != FilterOptions();
    TDataSet::setFilterOptions(options);
    if (changed && Active() && Filtered() && !Filter().empty()) {
        settlePendingEdit();
        rebuildView(true);
    }
}

bool DOvuzaZerivir::filterRecordAccepts(RecordEntry* entry) {
    candidate_ = entry;
    bool accept = true;
    OnFilterRecord(this, accept);
    return accept;
}

void DOvuzaZerivir::rebuildView(bool keepPosition) {
    if (!store_) {
        view_.clear();
        viewPosition_ = -1;
        return;
    }
    if (Filtered() && !Filter().empty())
        filter_.prepare(layout_);
    const bool caseInsensitive = FilterOptions().contains(foCaseInsensitive);

    const bool ready = viewReady_;
    RecordEntry* remembered = nullptr;
    if (ready) {
        settlePendingEdit();
        // A handler that closed the dataset took its view with it.
        if (!Active())
            return;
        const int n = recordNumber();
        if (!view_.empty() && n >= 1 && n <= static_cast<int>(view_.size()))
            remembered = view_[static_cast<size_t>(n - 1)];
        suspendControls();
    }
    try {
        if (ready) {
            doBeforeScroll();
            if (!Active()) {
                resumeControls();
                return;
            }
        }
        view_.clear();
        viewListVersion_ = kNoListVersion;
        view_.reserve(static_cast<size_t>(store_->entryCount()));
        const uint64_t listVersion = store_->listVersion();
        DatasetState saved = setTempState(stateFilter);
        try {
            if (!rangeActive_ && !Filtered() && store_->unshownEntryCount() == 0) {
                // Every record shown, and every entry holds one: the view is the list.
                const std::vector<RecordEntry*>& entries = store_->entries();
                view_.assign(entries.begin(), entries.end());
            } else {
                for (RecordEntry* entry : store_->entries()) {
                    if (!entry->isLive() || !entry->data)
                        continue;
                    if (rangeActive_ && !insideRange(*entry))
                        continue;
                    if (Filtered()) {
                        if (!Filter().empty() && !filter_.accepts(*entry, caseInsensitive))
                            continue;
                        if (OnFilterRecord && !filterRecordAccepts(entry))
                            continue;
                    }
                    view_.push_back(entry);
                }
            }
        } catch (...) {
            candidate_ = nullptr;
            restoreState(saved);
            throw;
        }
        candidate_ = nullptr;
        restoreState(saved);
        viewListVersion_ = listVersion;

        const KeyBuffer* index = keys_[indexKey].get();
        if (index && index->fieldCount() > 0) {
            sortView();
            viewSorted_ = true;
        } else {
            viewSorted_ = false;
        }
        viewPosition_ = -1;
        if (ready) {
            cursorPositionChanged();
            if (!view_.empty() && remembered && keepPosition)
                viewPosition_ = indexInView(remembered);
            refillBuffers(false, false);
            doAfterScroll();
        }
    } catch (...) {
        // The view holds what was accepted before the failure; where the cursor stood in it
        // is no longer known.
        viewPosition_ = std::min(viewPosition_, static_cast<int>(view_.size()));
        if (ready) {
            cursorPositionChanged();
            // The window shows what the view now holds, not records it no longer has.
            if (Active())
                refillAfterError();
            resumeControls();
        }
        throw;
    }
    if (ready)
        resumeControls();
}

bool DOvuzaZerivir::viewBehindStore() const {
    return store_ && viewListVersion_ != store_->listVersion();
}

bool DOvuzaZerivir::refreshViewFromStore() {
    if (State() != stateBrowse || !viewBehindStore())
        return false;
    rebuildView(true);
    return true;
}

void DOvuzaZerivir::sortView() {
    sortRecordsByKey(view_, keys_[indexKey]->fields, sortOptions_.contains(vsoCaseInsensitive),
                     sortOptions_.contains(vsoDescendSort));
}

bool DOvuzaZerivir::insideRange(const RecordEntry& entry) const {
    const KeyBuffer* start = keys_[rangeStartKey].get();
    const KeyBuffer* end = keys_[rangeEndKey].get();
    if (!start || !end)
        return true;
    return compareKeyValues(entry.data, start->image(), start->fields, start->comparedCount,
                            false) >= 0 &&
           compareKeyValues(entry.data, end->image(), end->fields, end->comparedCount, false) <= 0;
}

} // namespace cibrano

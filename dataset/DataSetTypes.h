#pragma once
// The enumerations and small types that datasets, data sources and data links share.

#include "platform/Set.h"

#include <cstdint>

namespace cibrano {

class TField;

// Dataset states. Their order matters: code compares them numerically. From stateCalcFields
// to stateCurValue and stateInternalCalc they are only ever entered temporarily.
enum DatasetState {
    stateInactive,
    stateBrowse,
    stateEdit,
    stateInsert,
    stateSetKey,
    stateCalcFields,
    stateFilter,
    stateNewValue,
    stateOldValue,
    stateCurValue,
    stateBlockRead,
    stateInternalCalc,
    stateOpening,
};

// The notifications a dataset sends through its data sources to their data links.
enum DataEventKind {
    evFieldChange, // info: the TField*
    evRecordChange,
    evDatasetChange,
    evDatasetScroll, // info: the scroll amount
    evLayoutChange,
    evUpdateRecord,
    evUpdateState,
    evCheckBrowseMode,
    evPropertyChange,
    evFieldListChange,
    evFocusControl, // info: a TField** that the control taking the focus clears
    evParentScroll,
};

// What a record buffer holds, as the engine marks it.
enum TBookmarkFlag { bookmarkCurrent, bookmarkBOF, bookmarkEOF, bookmarkInserted };

enum TFetchMode { fetchCurrent, fetchNext, fetchPrior };
enum TFetchResult { fetchOK, fetchBOF, fetchEOF, fetchError };

// A record's bookmark: an opaque pointer-sized value that only the engine interprets (the
// table engine stores the address of the record's entry). The framework only copies it.
using TBookmark = const void*;

enum TFilterOption { foCaseInsensitive, foNoPartialCompare };
using TFilterOptions = TSet<TFilterOption>;

// Options of a search by field values: texts compared ignoring case, and a search text that
// only has to begin the field's text.
enum TLocateOption { loCaseInsensitive, loPartialKey };
using TLocateOptions = TSet<TLocateOption>;

enum TUpdateStatus { usUnmodified, usModified, usInserted, usDeleted };

enum TBlobStreamMode { bmRead, bmWrite, bmReadWrite };

// The information word of a notification, for the kinds that carry one.
inline intptr_t fieldEventInfo(TField* field) {
    return reinterpret_cast<intptr_t>(field);
}
inline TField* eventField(intptr_t info) {
    return reinterpret_cast<TField*>(info);
}
inline intptr_t focusEventInfo(TField** fieldRef) {
    return reinterpret_cast<intptr_t>(fieldRef);
}
inline TField** eventFieldRef(intptr_t info) {
    return reinterpret_cast<TField**>(info);
}

} // namespace cibrano

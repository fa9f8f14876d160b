#include "dataset/DataSet.h"

#include "dataset/DataLink.h"
#include "dataset/DataSource.h"
#include "dataset/DbConsts.h"
#include "dataset/Field.h"
#include "platform/DatabaseError.h"
#include "platform/Format.h"
#include "platform/RunThenAlways.h"
#include "platform/Stream.h"

#include <functional>

// Construction, properties, opening and closing, and the field list of TDataSet. Navigation
// and the record window are in DataSetNavigation.cpp, the edit cycle in DataSetEdit.cpp,
// states and notifications in DataSetEvents.cpp.

namespace cibrano {

TDataSet::TDataSet(TComponent* owner) : TComponent(owner), fields_(this), fieldDefs_(this) {}

TDataSet::~TDataSet() {
    destroying();
    // The derived dataset has closed by now; what is left is to let go of the data sources
    // and of the fields, which must not point here once this object is gone.
    // Nothing may escape a destructor: a link handler's error is dropped here.
    while (!dataSources_.empty()) {
        try {
            removeDataSource(dataSources_.back());
        } catch (...) {
        }
    }
    firstLink_ = nullptr;
    for (TField* f : fields_)
        f->dataSet_ = nullptr;
    fields_.clear();
}

void TDataSet::setActive(bool value) {
    if (isLoading()) {
        // Applied once the stored form is read completely (loaded()).
        streamedActive_ = value;
        return;
    }
    if (Active() == value)
        return;
    if (value)
        openDataSet();
    else
        closeDataSet();
}

void TDataSet::loaded() {
    TComponent::loaded();
    if (streamedActive_) {
        streamedActive_ = false;
        setActive(true);
    }
}

void TDataSet::openDataSet() {
    doBeforeOpen();
    try {
        if (state_ != stateOpening)
            openInternal();
    } catch (...) {
        // The open either completed before the failure (the dataset then stays open) or it
        // did not, and whatever was opened is shut down again. A failure of that shutdown
        // must not hide the error that stopped the open.
        if (state_ != stateOpening) {
            if (openComplete_) {
                setState(stateBrowse);
                doAfterOpen();
            } else {
                setState(stateInactive);
                try {
                    shutDownStore();
                } catch (...) {
                }
            }
        }
        throw;
    }
    if (state_ == stateOpening)
        return;
    if (openComplete_) {
        setState(stateBrowse);
        doAfterOpen();
    } else {
        setState(stateInactive);
        shutDownStore();
    }
}

void TDataSet::openInternal() {
    defaultFields_ = fields_.count() == 0;
    openStore();
    openComplete_ = true;
    updateBufferCount();
    bof_ = true;
}

void TDataSet::closeDataSet() {
    if (!isDestroying()) {
        // Calculated fields, a filter test or a field write under way work on buffers, the
        // store and (default) fields that a close would free under them.
        checkNotComputing();
        if (fieldWrites_ > 0)
            databaseError(dbconsts::kDataSetBusy, this);
        doBeforeClose();
        // A BeforeClose handler that closed the dataset itself has done it all.
        if (!Active())
            return;
    }
    // A state-change handler that raises does not keep the store open behind a closed state.
    runThenAlways([&] { setState(stateInactive); }, [&] { shutDownStore(); });
    if (!isDestroying())
        doAfterClose();
}

void TDataSet::shutDownStore() {
    blockReadSize_ = 0;
    openComplete_ = false;
    freeFieldBuffers();
    clearWindow();
    resizeBufferList(0);
    runThenAlways([&] { closeStore(); },
                  [&] {
                      bufferCount_ = 0;
                      defaultFields_ = false;
                  });
}

void TDataSet::setFiltered(bool value) {
    filtered_ = value;
}

void TDataSet::setFilter(const AnsiString& text) {
    filter_ = text;
}

void TDataSet::setFilterOptions(TFilterOptions options) {
    filterOptions_ = options;
}

void TDataSet::setOnFilterRecord(TFilterRecordEvent handler) {
    OnFilterRecord = std::move(handler);
}

void TDataSet::setBlockReadSize(int size) {
    if (size > 0) {
        // Block reading is browsing: a pending edit is settled first.
        settlePendingEdit();
        setState(stateBlockRead);
    } else if (state_ == stateBlockRead) {
        setState(stateBrowse);
    }
    blockReadSize_ = size > 0 ? size : 0;
}

void TDataSet::checkActive() const {
    if (!Active())
        databaseError(dbconsts::kDataSetClosed, this);
}

void TDataSet::checkInactive() {
    if (!Active())
        return;
    TComponentState s = componentState();
    if (s.contains(csUpdating) || s.contains(csDesigning))
        close();
    else
        databaseError(dbconsts::kDataSetOpen, this);
}

void TDataSet::checkCanModify() const {
    if (!canModify())
        databaseError(dbconsts::kDataSetReadOnly, this);
}

void TDataSet::notification(TComponent* component, TOperation operation) {
    TComponent::notification(component, operation);
    if (operation == opRemove)
        for (TDataSource* s : std::vector<TDataSource*>(dataSources_))
            if (s == component)
                removeDataSource(s);
}

// --- Engine services with a base behaviour ---------------------------------------------

void TDataSet::moveToRecordNumber(int) {}

TUpdateStatus TDataSet::updateStatus() const {
    return state_ == stateInsert ? usInserted : usUnmodified;
}

std::unique_ptr<TStream> TDataSet::createBlobStream(TField*, TBlobStreamMode) {
    databaseError(dbconsts::kCapabilityNotSupported, this);
}

bool TDataSet::locate(const AnsiString&, const TVariant&, TLocateOptions) {
    databaseError(dbconsts::kCapabilityNotSupported, this);
}

TVariant TDataSet::lookup(const AnsiString&, const TVariant&, const AnsiString&) {
    databaseError(dbconsts::kCapabilityNotSupported, this);
}

bool TDataSet::lookupText(const AnsiString& keyFields, const std::vector<AnsiString>& keyValues,
                          const AnsiString& resultField, AnsiString& result) {
    TVariant keys;
    if (keyValues.size() == 1) {
        keys = TVariant(keyValues.front());
    } else {
        std::vector<TVariant> elements(keyValues.begin(), keyValues.end());
        keys = TVariant(std::move(elements));
    }
    const TVariant found = lookup(keyFields, keys, resultField);
    if (!found.hasValue())
        return false;
    result = found.asString();
    return true;
}

AnsiString TDataSet::transliterate(const AnsiString& text, bool) const {
    return text;
}

int TDataSet::compareBookmarks(TBookmark a, TBookmark b) const {
    std::less<TBookmark> less;
    return less(a, b) ? -1 : (less(b, a) ? 1 : 0);
}

TBookmark TDataSet::getBookmark() const {
    if ((state_ == stateBrowse || state_ == stateEdit || state_ == stateInsert) &&
        !hasNoRecords() && bookmarkFlagOf(activeBuffer()) == bookmarkCurrent)
        return copyBookmarkOut(activeBuffer());
    return nullptr;
}

void TDataSet::gotoBookmark(TBookmark bookmark) {
    if (!bookmark)
        return;
    settlePendingEdit();
    doBeforeScroll();
    if (!Active())
        return;
    moveToBookmark(bookmark);
    refillBuffers(true, true);
    doAfterScroll();
}

void TDataSet::refresh() {
    settlePendingEdit();
    if (!Active())
        return;
    updateCursorPosition();
    reloadRecords();
    if (Active())
        refillBuffers(false, false);
}

// --- Fields -----------------------------------------------------------------------------

std::vector<TField*> TDataSet::getFieldList(const AnsiString& names) const {
    std::vector<TField*> list;
    size_t pos = 0;
    while (pos <= names.size()) {
        size_t end = names.find(';', pos);
        if (end == AnsiString::npos)
            end = names.size();
        AnsiString name = names.substr(pos, end - pos);
        size_t first = name.find_first_not_of(' ');
        size_t last = name.find_last_not_of(' ');
        name = first == AnsiString::npos ? AnsiString() : name.substr(first, last - first + 1);
        if (!name.empty())
            list.push_back(fieldByName(name));
        pos = end + 1;
    }
    return list;
}

void TDataSet::createFields() {
    for (int i = 0; i < fieldDefs_.count(); ++i) {
        const TFieldDef& def = fieldDefs_[i];
        TFieldType t = def.DataType();
        if (t == ftUnknown || (t >= ftADT && t <= ftDataSet) ||
            def.Attributes().contains(faHiddenCol))
            continue;
        def.createField(this, this);
    }
}

void TDataSet::bindFields(bool binding) {
    calcFieldsSize_ = 0;
    internalCalcFields_ = false;
    for (TField* f : fields_) {
        if (!binding) {
            f->fieldNo_ = 0;
            f->offset_ = 0;
            continue;
        }
        if (f->FieldKind() == fkCalculated || f->FieldKind() == fkLookup) {
            f->fieldNo_ = -1;
            f->offset_ = calcFieldsSize_;
            calcFieldsSize_ += f->dataSize() + 1;
            continue;
        }
        const TFieldDef* def = fieldDefs_.find(f->FieldName());
        if (!def)
            databaseError(formatText(dbconsts::kFieldNotFound, f->displayName()), this);
        if (f->FieldKind() == fkInternalCalc)
            internalCalcFields_ = true;
        if (!fieldTypesCompatible(f->DataType(), def->DataType()))
            databaseError(formatText(dbconsts::kFieldTypeMismatch, f->displayName(),
                                     AnsiString(fieldTypeName(f->DataType())),
                                     AnsiString(fieldTypeName(def->DataType()))),
                          this);
        TFieldType t = f->DataType();
        if ((t == ftBCD || t == ftBytes || t == ftVarBytes || t == ftReference) &&
            f->Size() != def->Size())
            databaseError(
                formatText(dbconsts::kFieldSizeMismatch, f->displayName(), f->Size(), def->Size()),
                this);
        f->fieldNo_ = def->FieldNo();
    }
}

void TDataSet::destroyFields() {
    while (fields_.count() > 0) {
        TField* f = fields_[fields_.count() - 1];
        f->dataSet_ = nullptr;
        fields_.remove(f);
        delete f;
    }
}

void TDataSet::freeFieldBuffers() {
    for (TField* f : fields_)
        f->freeBuffers();
}

void TDataSet::checkRequiredFields() {
    for (TField* f : fields_)
        if (f->Required() && !f->ReadOnly() && f->FieldKind() == fkData && f->isNull()) {
            // The message is made first: the focused control's handlers may close the dataset
            // and take its default fields, this one among them, with it.
            const AnsiString message = formatText(dbconsts::kFieldRequired, f->displayName());
            f->focusBoundControl();
            databaseError(message, this);
        }
}

} // namespace cibrano

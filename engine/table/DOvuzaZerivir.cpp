#include "engine/table/DOvuzaZerivir.h"

#include "dataset/Abort.h"
#include "dataset/DataSource.h"
#include "dataset/Field.h"
#include "dataset/FieldDefs.h"
#include "dataset/FloatField.h"
#include "engine/file/FieldDescriptions.h"
#include "engine/file/ImageReader.h"
#include "engine/record/FieldValues.h"
#include "engine/table/ZerovBlobStream.h"
#include "engine/table/ZerovDatabase.h"
#include "engine/table/ZerovDatasetConst.h"
#include "engine/table/ZerovMasterLink.h"
#include "platform/DatabaseError.h"
#include "platform/Stream.h"
#include "platform/UiServices.h"

#include <algorithm>
#include <cstring>
#include <malloc.h>

// Construction, opening and closing, record buffers, fetching, bookmarks and refresh. The record
// view is built in DOvuzaZerivirView.cpp, fields are read in DOvuzaZerivirRead.cpp, editing is in
// DOvuzaZerivirEdit.cpp, keys and ranges in DOvuzaZerivirKeys.cpp.

namespace cibrano {

DOvuzaZerivir::DOvuzaZerivir(TComponent* owner)
    : TDataSet(owner), masterLink_(std::make_unique<TZerovMasterLink>(this)) {}

DOvuzaZerivir::~DOvuzaZerivir() {
    destroying();
    try {
        setActive(false);
    } catch (const std::exception& e) {
        handleEngineException(e);
    }
    // Clones cannot outlive the store they share (closeStore closed them).
    cloneList_.clear();
    view_.clear();
    filter_.clear();
    // The link leaves its master source now, while this is still a whole table dataset.
    masterLink_->setMasterSource(nullptr);
    freeKeys();
    releaseStore();
    // What a descendant did not release goes with the dataset.
    store_ = nullptr;
    ownedStore_.reset();
}

std::unique_ptr<TStream> DOvuzaZerivir::createBlobStream(TField* field, TBlobStreamMode mode) {
    // The cursor follows the active record, except while another record is being worked on
    // (a fetch computing calculated fields, a filter test): moving it then would lose the
    // place of that work.
    const DatasetState state = State();
    if (state != stateCalcFields && state != stateFilter && state != stateInternalCalc)
        updateCursorPosition();
    return std::make_unique<TZerovBlobStream>(field, mode);
}

// --- Properties ---------------------------------------------------------------------------

void DOvuzaZerivir::setDatabase(TZerovDatabase* database) {
    if (database == database_)
        return;
    if (Active())
        close();
    if (database_)
        removeFreeNotification(database_);
    database_ = database;
    if (database_)
        freeNotification(database_);
}

TDataSource* DOvuzaZerivir::MasterSource() const {
    return masterLink_->masterSource();
}

const AnsiString& DOvuzaZerivir::MasterFields() const {
    return masterLink_->fieldNames();
}

// The link watches its source itself: a source being destroyed detaches its links.
void DOvuzaZerivir::setMasterSource(TDataSource* source) {
    masterLink_->setMasterSource(source);
}

void DOvuzaZerivir::setMasterFields(const AnsiString& names) {
    masterLink_->setFieldNames(names);
}

bool DOvuzaZerivir::masterRangeWanted() const {
    return masterLink_->hasMasterFields();
}

void DOvuzaZerivir::applyMasterRange() {
    masterLink_->applyMasterRange();
}

void DOvuzaZerivir::assignMasterValues() {
    masterLink_->assignMasterValues();
}

void DOvuzaZerivir::notification(TComponent* component, TOperation operation) {
    TDataSet::notification(component, operation);
    if (operation != opRemove)
        return;
    if (database_ && component == database_) {
        // The folder closes the datasets it knows of before it goes; whatever is left must
        // not keep a pointer to it.
        database_ = nullptr;
    }
}

void DOvuzaZerivir::applyFieldOrigin() {
    for (TField* f : Fields())
        f->setOrigin(fieldOrigin_);
}

void DOvuzaZerivir::handleEngineException(const std::exception& error) const {
    reportError(error);
}

// --- Database folder ------------------------------------------------------------------------

void DOvuzaZerivir::registerOpen() {
    if (database_)
        database_->registerOpen(this);
}

void DOvuzaZerivir::forgetOpen() {
    if (database_)
        database_->forgetOpen(this);
}

void DOvuzaZerivir::registerModified() {
    if (database_)
        database_->registerModified(this);
}

void DOvuzaZerivir::forgetModified() {
    if (database_)
        database_->forgetModified(this);
}

// --- The store ------------------------------------------------------------------------------

void DOvuzaZerivir::prepareStoreForLoad() {
    if (store_) {
        store_->clearStore(true);
    } else {
        ownedStore_ = std::make_unique<TZerovCursor>();
        store_ = ownedStore_.get();
        store_->setPassword(passwordText_);
        store_->onDestroyRecordData = [this](intptr_t& userData) {
            if (OnDestroyRecordData)
                OnDestroyRecordData(this, userData);
        };
        if (OnCallback)
            store_->onProgress = [this](int percent) {
                if (OnCallback)
                    OnCallback(this, percent);
            };
    }
    store_->setPartialOpen(partialOpen_);
    view_.clear();
}

void DOvuzaZerivir::finishLoad(bool ok, const AnsiString& message) {
    if (!ok) {
        viewPosition_ = -1;
        detachStore();
        databaseError(AnsiString(msg::ErrorOpeningTable) + message, this);
    }
    if (!message.empty() && partialOpen_)
        uiServices().showWarning(applicationTitle(), message);
}

void DOvuzaZerivir::loadFromStream(TStream& stream, bool keepStream) {
    prepareStoreForLoad();
    if (!keepStream)
        stream.setPosition(0);

    AnsiString message;
    bool ok;
    if (auto* memory = dynamic_cast<TMemoryStream*>(&stream)) {
        ok = store_->readTableImage(*memory, message);
    } else {
        // The reader works on an image held in memory (it deciphers in place).
        TMemoryStream copy;
        const size_t n = stream.remaining();
        copy.setSize(n);
        if (n > 0)
            stream.readBuffer(copy.memory(), n);
        copy.setPosition(0);
        ok = store_->readTableImage(copy, message);
    }
    finishLoad(ok, message);
}

bool DOvuzaZerivir::loadFromFile(const std::string& path) {
    TableFileSource file;
    std::string reason;
    if (!file.open(path, reason))
        return false;
    prepareStoreForLoad();
    AnsiString message;
    const TZerovCursor::FileRead result = store_->readTableFile(file, message);
    if (result == TZerovCursor::FileRead::unreadable) {
        viewPosition_ = -1;
        detachStore();
        return false;
    }
    finishLoad(result == TZerovCursor::FileRead::loaded, message);
    return true;
}

void DOvuzaZerivir::attachStore(TZerovCursor* shared) {
    ownedStore_.reset();
    store_ = shared;
}

void DOvuzaZerivir::detachStore() {
    store_ = nullptr;
    ownedStore_.reset();
}

void DOvuzaZerivir::addClone(DOvuzaZerivir* clone) {
    if (clone && std::find(cloneList_.begin(), cloneList_.end(), clone) == cloneList_.end())
        cloneList_.push_back(clone);
}

void DOvuzaZerivir::removeClone(DOvuzaZerivir* clone) {
    cloneList_.erase(std::remove(cloneList_.begin(), cloneList_.end(), clone), cloneList_.end());
}

// --- Opening and closing -------------------------------------------------------------------

void DOvuzaZerivir::describeFields() {
    FieldDefs().clear();
    if (!store_)
        return;
    for (const TZerovField* f : store_->fields())
        FieldDefs().add(f->fieldName, fieldTypeOfKind(f->storageKind), f->declaredSize, false);
    // While the dataset is open its buffers keep the layout they were made with.
    if (State() == stateInactive) {
        layout_.clear();
        int size = 0;
        for (const TZerovField* f : store_->fields()) {
            layout_.push_back(*f);
            size += f->dataSize;
        }
        recordImageSize_ = static_cast<uint16_t>(size);
        planRecordCopy();
    }
}

void DOvuzaZerivir::openStore() {
    viewPosition_ = -1;
    viewReady_ = false;
    loadStore();
    FieldDefs().setUpdated(false);
    FieldDefs().update();
    if (usesDefaultFields()) {
        createFields();
        applyFieldOrigin();
    } else if (OnFieldsDescribed) {
        OnFieldsDescribed(this);
    }
    bindFields(true);
    for (int k = indexKey; k <= rangeEndKey; ++k)
        keys_[static_cast<size_t>(k)] =
            std::make_unique<KeyBuffer>(static_cast<TKeyIndex>(k), recordImageSize_);
    prepareKey(indexKey);
    prepareKey(rangeStartKey);
    prepareKey(rangeEndKey);
    rangeActive_ = false;
    for (TField* f : Fields())
        if (auto* ff = dynamic_cast<TFloatField*>(f))
            if (!ff->currency() && ff->DisplayFormat().empty())
                ff->setDisplayFormat("0.######");
    if (masterRangeWanted())
        applyMasterRange();
    if (store_ && store_->entryCount() > 0) {
        rebuildView(false);
        viewPosition_ = -1;
    }
    viewReady_ = true;
    registerOpen();
}

void DOvuzaZerivir::doBeforeClose() {
    // Refused before anything is closed, so that the dataset stays open as it was.
    if (!cloneList_.empty())
        databaseError(dsmsg::ClonesStillOpen, this);
    TDataSet::doBeforeClose();
}

void DOvuzaZerivir::closeClones() {
    for (DOvuzaZerivir* clone : std::vector<DOvuzaZerivir*>(cloneList_)) {
        try {
            clone->close();
        } catch (const std::exception& e) {
            handleEngineException(e);
        }
    }
    cloneList_.clear();
}

void DOvuzaZerivir::closeStore() {
    if (!cloneList_.empty()) {
        // A source going away takes its clones down first: they share its records.
        if (!isDestroying())
            databaseError(dsmsg::ClonesStillOpen, this);
        closeClones();
    }
    freeKeys();
    bindFields(false);
    if (usesDefaultFields())
        destroyFields();
    viewPosition_ = -1;
    view_.clear();
    viewReady_ = false;
    candidate_ = nullptr;
    forgetModified();
    forgetOpen();
}

void DOvuzaZerivir::freeKeys() {
    for (auto& key : keys_) {
        if (key)
            key->releaseValues(layout_);
        key.reset();
    }
    keyBeingFilled_ = nullptr;
}

// --- Record buffers -------------------------------------------------------------------------

uint8_t* DOvuzaZerivir::newRecordBuffer() {
    return new uint8_t[static_cast<size_t>(trailerOffset() + kTrailerSize)]();
}

void DOvuzaZerivir::disposeRecordBuffer(uint8_t* buffer) {
    releaseImageValues(buffer, layout_);
    delete[] buffer;
}

void DOvuzaZerivir::clearRecordBuffer(uint8_t* buffer) {
    releaseImageValues(buffer, layout_);
    std::memset(buffer, 0, static_cast<size_t>(trailerOffset() + kTrailerSize));
    setTrailer(buffer, nullptr, bookmarkInserted, -1);
}

void DOvuzaZerivir::clearCalcArea(uint8_t* buffer) {
    std::memset(buffer + recordImageSize_, 0, static_cast<size_t>(calcFieldsSize()));
}

RecordEntry* DOvuzaZerivir::entryOf(const uint8_t* buffer) const {
    if (!buffer)
        return nullptr;
    RecordEntry* e;
    std::memcpy(&e, buffer + trailerOffset(), sizeof e);
    return e;
}

int32_t DOvuzaZerivir::recordNumberOf(const uint8_t* buffer) const {
    if (!buffer)
        return -1;
    int32_t n;
    std::memcpy(&n, buffer + trailerOffset() + sizeof(RecordEntry*) + 4, sizeof n);
    return n;
}

void DOvuzaZerivir::setTrailer(uint8_t* buffer, RecordEntry* entry, TBookmarkFlag flag,
                               int32_t number) {
    uint8_t* t = buffer + trailerOffset();
    std::memcpy(t, &entry, sizeof entry);
    t[sizeof entry] = static_cast<uint8_t>(flag);
    std::memcpy(t + sizeof entry + 4, &number, sizeof number);
}

TBookmarkFlag DOvuzaZerivir::bookmarkFlagOf(const uint8_t* buffer) const {
    return static_cast<TBookmarkFlag>(buffer[trailerOffset() + sizeof(RecordEntry*)]);
}

void DOvuzaZerivir::setBookmarkFlagOf(uint8_t* buffer, TBookmarkFlag flag) {
    buffer[trailerOffset() + sizeof(RecordEntry*)] = static_cast<uint8_t>(flag);
}

TBookmark DOvuzaZerivir::copyBookmarkOut(const uint8_t* buffer) const {
    return entryOf(buffer);
}

void DOvuzaZerivir::copyBookmarkIn(uint8_t* buffer, TBookmark bookmark) {
    auto* entry = static_cast<RecordEntry*>(const_cast<void*>(bookmark));
    std::memcpy(buffer + trailerOffset(), &entry, sizeof entry);
}

// --- Fetching and positions -----------------------------------------------------------------

void DOvuzaZerivir::planRecordCopy() {
    copyPlan_ = RecordCopyPlan();
    for (const TZerovField& f : layout_) {
        if (isTextRefKind(f.storageKind)) {
            copyPlan_.textSlots.push_back(f.slotOffset);
        } else if (isBlobKind(f.storageKind)) {
            copyPlan_.blobSlots.push_back(f.slotOffset);
        } else if (f.dataSize > 0) {
            auto& runs = copyPlan_.fixedRuns;
            if (!runs.empty() && runs.back().first + runs.back().second == f.slotOffset)
                runs.back().second += f.dataSize;
            else
                runs.emplace_back(f.slotOffset, f.dataSize);
        }
    }
}

namespace {
// The least a buffer's text block is made to hold, terminator included.
constexpr size_t kTextBlockRoom = 64;
} // namespace

void DOvuzaZerivir::copyStoredRecord(const uint8_t* source, uint8_t* target) const {
    for (const auto& [offset, length] : copyPlan_.fixedRuns)
        std::memcpy(target + offset, source + offset, static_cast<size_t>(length));
    for (const int32_t offset : copyPlan_.textSlots) {
        uint8_t* slot = target + offset;
        char* held = textRefAt(slot);
        const char* text = textRefAt(source + offset);
        const size_t n = text ? std::strlen(text) : 0;
        if (n == 0) {
            // An empty text is no text, as in the store's own copies.
            delete[] held;
            setTextRef(slot, nullptr);
            continue;
        }
        // Every text block of a buffer comes from `new char[]`, whose memory the allocator
        // can measure: a text that fits goes into the block the buffer holds. New blocks get
        // room for a usual text, so that a walk over records of varying texts seldom
        // allocates.
        if (held && malloc_usable_size(held) > n) {
            std::memcpy(held, text, n + 1);
            continue;
        }
        char* copy = new char[std::max(n + 1, kTextBlockRoom)];
        std::memcpy(copy, text, n + 1);
        delete[] held;
        setTextRef(slot, copy);
    }
    for (const int32_t offset : copyPlan_.blobSlots) {
        uint8_t* slot = target + offset;
        const uint8_t* block = blobRefAt(source + offset);
        const int32_t length = blobLengthAt(source + offset);
        uint8_t* copy = nullptr;
        if (block && length > 0) {
            copy = new uint8_t[static_cast<size_t>(length)];
            std::memcpy(copy, block, static_cast<size_t>(length));
        }
        delete[] blobRefAt(slot);
        setBlobRef(slot, copy, copy ? length : 0);
    }
}

TFetchResult DOvuzaZerivir::fetchRecord(uint8_t* buffer, TFetchMode mode, bool check) {
    const int count = static_cast<int>(view_.size());
    if (count == 0)
        return fetchEOF;
    switch (mode) {
    case fetchCurrent:
        if (viewPosition_ < 0 || viewPosition_ >= count) {
            if (check)
                databaseError(dsmsg::NoRecords, this);
            return fetchError;
        }
        break;
    case fetchNext:
        if (viewPosition_ < count - 1)
            ++viewPosition_;
        else
            return fetchEOF;
        break;
    case fetchPrior:
        if (viewPosition_ > 0)
            --viewPosition_;
        else
            return fetchBOF;
        // A position past the end (after a delete at the end) steps back into the view.
        viewPosition_ = std::min(viewPosition_, count - 1);
        break;
    }
    if (mode == fetchNext) {
        // A walk forward: the entries and records some rows ahead, which lie apart in memory,
        // are asked for before the walk reaches them, so that their loads overlap.
        const size_t next = static_cast<size_t>(viewPosition_);
        if (next + 16 < view_.size())
            __builtin_prefetch(view_[next + 16]);
        if (next + 8 < view_.size())
            __builtin_prefetch(view_[next + 8]->data);
    }
    RecordEntry* entry = view_[static_cast<size_t>(viewPosition_)];
    if (entry->data) {
        copyStoredRecord(entry->data, buffer);
    } else {
        // A record removed through a clone since this view was built: it shows empty.
        releaseImageValues(buffer, layout_);
        std::memset(buffer, 0, static_cast<size_t>(recordImageSize_));
    }
    setTrailer(buffer, entry, bookmarkCurrent, viewPosition_ + 1);
    computeCalcFields(buffer);
    return fetchOK;
}

int DOvuzaZerivir::indexInView(const RecordEntry* entry) const {
    if (!entry)
        return -1;
    auto it = std::find(view_.begin(), view_.end(), entry);
    return it == view_.end() ? -1 : static_cast<int>(it - view_.begin());
}

void DOvuzaZerivir::moveToBookmark(TBookmark bookmark) {
    int i = indexInView(static_cast<const RecordEntry*>(bookmark));
    if (i >= 0)
        viewPosition_ = i;
}

void DOvuzaZerivir::moveToBufferRecord(uint8_t* buffer) {
    RecordEntry* entry = entryOf(buffer);
    // The record number the buffer was filled with finds the entry at once while the view has
    // not changed since; otherwise it is looked for.
    const int n = recordNumberOf(buffer);
    if (entry && n >= 1 && n <= static_cast<int>(view_.size()) &&
        view_[static_cast<size_t>(n - 1)] == entry) {
        viewPosition_ = n - 1;
        return;
    }
    moveToBookmark(entry);
}

bool DOvuzaZerivir::bookmarkValid(TBookmark bookmark) const {
    return indexInView(static_cast<const RecordEntry*>(bookmark)) >= 0;
}

int DOvuzaZerivir::compareBookmarks(TBookmark a, TBookmark b) const {
    if (!a && !b)
        return 0;
    if (!a)
        return -1;
    if (!b)
        return 1;
    return TDataSet::compareBookmarks(a, b);
}

int DOvuzaZerivir::recordNumber() const {
    switch (State()) {
    case stateInternalCalc:
        return -1;
    case stateCalcFields:
        return recordNumberOf(calculatedBuffer());
    default:
        break;
    }
    const uint8_t* buffer = activeBuffer();
    if (!buffer || (State() == stateBrowse && hasNoRecords()))
        return -1;
    return recordNumberOf(buffer);
}

void DOvuzaZerivir::moveToRecordNumber(int number) {
    settlePendingEdit();
    if (!Active() || number == recordNumber())
        return;
    const int count = static_cast<int>(view_.size());
    if (number < 1)
        number = 1;
    if (number > count) {
        moveAfterLast();
        number = count;
    }
    doBeforeScroll();
    if (!Active())
        return;
    viewPosition_ = number - 1;
    refillBuffers(false, true);
    doAfterScroll();
}

TUpdateStatus DOvuzaZerivir::updateStatus() const {
    if (State() == stateInternalCalc)
        return usUnmodified;
    const RecordEntry* e =
        entryOf(State() == stateCalcFields ? calculatedBuffer() : activeBuffer());
    if (!e)
        return usUnmodified;
    switch (e->status) {
    case recModified:
        return usModified;
    case recInserted:
        return usInserted;
    case recDeleted:
        return usDeleted;
    default:
        return usUnmodified;
    }
}

// --- Refresh --------------------------------------------------------------------------------

bool DOvuzaZerivir::layoutMatchesStore() const {
    if (!store_ || store_->fieldCount() != static_cast<int>(layout_.size()))
        return false;
    for (size_t i = 0; i < layout_.size(); ++i) {
        const TZerovField& a = layout_[i];
        const TZerovField& b = *store_->fields()[i];
        if (a.storageKind != b.storageKind || a.slotOffset != b.slotOffset ||
            a.dataSize != b.dataSize || a.declaredSize != b.declaredSize)
            return false;
    }
    return true;
}

void DOvuzaZerivir::storeReloaded() {
    // The records this clone showed are gone with the reload: a pending edit cannot be posted
    // any more, and the view is made again from the new records.
    if (!Active())
        return;
    if (!layoutMatchesStore()) {
        close();
        return;
    }
    if (State() == stateEdit || State() == stateInsert || State() == stateSetKey)
        setState(stateBrowse);
    view_.clear();
    viewPosition_ = -1;
    rebuildView(false);
}

void DOvuzaZerivir::reloadRecords() {
    AnsiString keyText =
        uniqueFieldNames_.empty() ? AnsiString() : currentKeyText(uniqueFieldNames_);
    viewReady_ = false;
    doBeforeScroll();
    // A handler that closed the dataset leaves nothing to reload; the next open reads afresh.
    if (!Active())
        return;
    if (changeCount_ > 0)
        saveChanges();
    // The window's buffers hold copies only; they are refilled by the framework afterwards.
    view_.clear();
    viewPosition_ = -1;
    try {
        loadStore();
    } catch (...) {
        if (!store_)
            closeClones();
        throw;
    }
    if (!layoutMatchesStore()) {
        closeClones();
        close();
        databaseError(dsmsg::StructureChanged, this);
    }
    if (masterRangeWanted())
        applyMasterRange();
    prepareKey(indexKey);
    if (store_ && store_->entryCount() > 0)
        rebuildView(false);
    viewReady_ = true;
    if (!keyText.empty()) {
        prepareKey(searchKey, uniqueFieldNames_);
        KeyBuffer* key = keys_[searchKey].get();
        size_t pos = 0;
        for (const KeyField& k : key->fields) {
            if (pos > keyText.size())
                break;
            size_t tab = keyText.find('\t', pos);
            if (tab == AnsiString::npos)
                tab = keyText.size();
            fieldValueFromText(slotOf(key->image(), *k.field),
                               std::string_view(keyText).substr(pos, tab - pos), *k.field);
            pos = tab + 1;
        }
        viewPosition_ = findByKey(0, keyOrderUsable(uniqueFieldNames_));
    }
    for (DOvuzaZerivir* clone : std::vector<DOvuzaZerivir*>(cloneList_))
        clone->storeReloaded();
    doAfterScroll();
}

} // namespace cibrano

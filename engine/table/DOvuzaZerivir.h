#pragma once
// The table room (engine/table/), the engine's top: the table dataset DOvuzaZerivir and its
// companions, the table component TZerovTable, the database folder, the master-detail link,
// BLOB streams, the find box's logic, the in-place reading of stored texts and their
// messages. It brings the rooms below together under the dataset framework's TDataSet.
//
// DOvuzaZerivir: the table engine's dataset. It supplies the engine operations of TDataSet over
// one record store (TZerovCursor) and never walks the store directly: it keeps the record view,
// an ordered list of the store entries that are currently visible (live, inside the range,
// accepted by the filter, in sort order), and every navigation, record number and record count
// is a position in it. rebuildView is the one place where visibility and order are decided.
//
// Where the records come from is left to descendants (TZerovTable): loadStore, saveStore and
// releaseStore have no behaviour here.
//
// The member functions live in several files: DOvuzaZerivir.cpp (open, close, buffers, fetch,
// bookmarks, refresh), DOvuzaZerivirRead.cpp (reading fields), DOvuzaZerivirView.cpp (the
// record view and the properties that rebuild it), DOvuzaZerivirEdit.cpp (editing, key checks,
// unsaved changes), DOvuzaZerivirKeys.cpp (sort keys, ranges, searching by key) and
// DOvuzaZerivirSearch.cpp (find first/last/next/prior, locate and lookup).
//
// Record buffer layout (one block, zero-filled when allocated):
//   0                         record image: the store's field slots (recordImageSize bytes);
//                             texts and BLOBs are the buffer's own copies
//   recordImageSize           calculated-field area: per calculated or lookup field a
//                             has-value byte, then the value
//   trailer = image + calc    the trailer (kTrailerSize bytes):
//     trailer + 0             the RecordEntry* shown in the buffer (null for a new record)
//     trailer + 8             the bookmark flag (TBookmarkFlag), one byte
//     trailer + 12            the record number: 1-based position in the view when the buffer
//                             was filled, -1 for a new record (int32)
// The bookmark is the entry's address, pointer-sized, so the trailer is 16 bytes on 64 bits
// where the file-era layout had 12.

#include "dataset/DataSet.h"
#include "engine/file/ZerovCursor.h"
#include "engine/query/ZerovCondition.h"
#include "engine/query/ZerovFilter.h"
#include "engine/record/RecordEntry.h"
#include "engine/sort/KeyBuffer.h"
#include "platform/AnsiString.h"
#include "platform/Set.h"

#include <array>
#include <cstdint>
#include <exception>
#include <functional>
#include <memory>
#include <utility>
#include <vector>

namespace cibrano {

class TDataSource;
class TStream;
class TZerovDatabase;
class TZerovMasterLink;

enum TZerovSortOption { vsoCaseInsensitive, vsoDescendSort };
using TZerovSortOptions = TSet<TZerovSortOption>;

// The dataset's ordered list of visible records.
using RecordView = std::vector<RecordEntry*>;

class DOvuzaZerivir : public TDataSet {
public:
    using TNotifyEvent = std::function<void(DOvuzaZerivir* sender)>;
    using TCallbackEvent = std::function<void(DOvuzaZerivir* sender, int percent)>;
    using TDestroyRecDataEvent = std::function<void(DOvuzaZerivir* sender, intptr_t& recordData)>;

    static constexpr int kTrailerSize = static_cast<int>(sizeof(RecordEntry*)) + 8;
    static constexpr const char* kVersion = "ZarazEV Engine v4.6";

    explicit DOvuzaZerivir(TComponent* owner = nullptr);
    ~DOvuzaZerivir() override;

    // --- Published properties ----------------------------------------------------------
    TZerovDatabase* Database() const { return database_; }
    // A different folder closes the dataset first.
    virtual void setDatabase(TZerovDatabase* database);
    const AnsiString& IndexFieldNames() const { return indexFieldNames_; }
    void setIndexFieldNames(const AnsiString& names);
    TZerovSortOptions SortOptions() const { return sortOptions_; }
    void setSortOptions(TZerovSortOptions options);
    const AnsiString& RangeFieldNames() const { return rangeFieldNames_; }
    void setRangeFieldNames(const AnsiString& names);
    TDataSource* MasterSource() const;
    virtual void setMasterSource(TDataSource* source);
    const AnsiString& MasterFields() const;
    // The detail side of the master-detail link.
    TZerovMasterLink& masterLink() const { return *masterLink_; }
    virtual void setMasterFields(const AnsiString& names);
    const AnsiString& UniqueFieldNames() const { return uniqueFieldNames_; }
    void setUniqueFieldNames(const AnsiString& names) { uniqueFieldNames_ = names; }
    bool ReadOnly() const { return readOnly_; }
    void setReadOnly(bool value) { readOnly_ = value; }
    TSaveOptions SaveOptions() const { return saveOptions_; }
    void setSaveOptions(TSaveOptions options) { saveOptions_ = options; }
    bool PartialOpen() const { return partialOpen_; }
    void setPartialOpen(bool value) { partialOpen_ = value; }
    const AnsiString& Notes() const { return notes_; }
    void setNotes(const AnsiString& text) { notes_ = text; }
    AnsiString Version() const { return kVersion; }
    // The version is the engine's; writing it changes nothing.
    void setVersion(const AnsiString&) {}
    // Published by TZerovTable; the check on post is made here.
    bool CheckKeyViolation() const { return checkKeyViolation_; }

    TNotifyEvent OnNeedToSaveChange;
    TCallbackEvent OnCallback;
    // Runs while the dataset opens, once the file's field definitions are known (FieldDefs)
    // and before the fields bind: a dataset of persistent fields may add fields here for the
    // definitions this file has, so that a field some files lack binds where it is present.
    TNotifyEvent OnFieldsDescribed;
    TDestroyRecDataEvent OnDestroyRecordData;
    // Kept with the component; no operation raises it.
    TFilterRecordEvent OnFindRecord;

    // --- TDataSet properties with an effect on the view ---------------------------------
    void setFiltered(bool value) override;
    // Parses the text at once: a text that does not parse raises and is not kept.
    void setFilter(const AnsiString& text) override;
    // A change of the case rule re-applies a Filter text in force.
    void setFilterOptions(TFilterOptions options) override;
    // The conditions parsed from the Filter text.
    const TZerovConditionList& filterConditions() const { return filter_.conditions(); }

    // --- Searching by field values ---------------------------------------------------------
    // With options, the view is scanned in order; with none, the values are written into the
    // search key and found by key (binary when the view is sorted on the fields). A value that
    // a key field cannot hold finds nothing.
    bool locate(const AnsiString& keyFields, const TVariant& keyValues,
                TLocateOptions options) override;
    TVariant lookup(const AnsiString& keyFields, const TVariant& keyValues,
                    const AnsiString& resultFields) override;

    // --- Engine queries ------------------------------------------------------------------
    bool canModify() const override { return !readOnly_; }
    int recordCount() const override { return static_cast<int>(view_.size()); }
    int recordNumber() const override;
    void moveToRecordNumber(int number) override;
    TUpdateStatus updateStatus() const override;
    bool bookmarkValid(TBookmark bookmark) const override;
    int compareBookmarks(TBookmark a, TBookmark b) const override;
    TDataSource* masterSourceOf() const override { return MasterSource(); }
    // A TZerovBlobStream on the field's value in the active record.
    std::unique_ptr<TStream> createBlobStream(TField* field, TBlobStreamMode mode) override;

    // --- Unsaved changes -----------------------------------------------------------------
    // Posts a pending edit, then writes the store (saveStore). Counts and statuses stay.
    virtual void saveChanges();
    // Back to the values of the last commit: modified records get their old values, inserted
    // ones go, deleted ones return.
    virtual void discardChanges();
    // Makes every posted change final in memory.
    virtual void acceptChanges();
    int changeCount() const { return changeCount_; }
    bool hasUnsavedChanges() const { return changeCount_ > 0; }

    // --- The store and the view ----------------------------------------------------------
    // None until the first load, and again after a failed one.
    TZerovCursor* store() const { return store_; }
    const RecordView& recordView() const { return view_; }
    int viewPosition() const { return viewPosition_; }
    bool viewReady() const { return viewReady_; }
    bool viewSorted() const { return viewSorted_; }
    // Recomputes the view from the store: visibility, then order. With keepPosition the
    // current record stays current when it is still visible; otherwise (or when it is not)
    // the first visible record becomes current.
    void rebuildView(bool keepPosition);
    // Whether the store's list of records changed (records added, deleted, brought back,
    // reordered) since the view was last made from it, through this dataset or another one
    // sharing the store. A dataset's own new records and deletes change its view in place, so
    // after them it answers true although the view already shows them.
    bool viewBehindStore() const;
    // In browse state, rebuilds the view when viewBehindStore, keeping the current record when
    // it is still visible; answers whether it did. A clone calls it to follow the records its
    // source added or deleted; an edit under way is never disturbed.
    bool refreshViewFromStore();
    // Where a field's value lies in the records of the store, by the layout the dataset's
    // buffers follow; none for a calculated field or one without a stored slot.
    const TZerovField* storedField(const TField* field) const;
    // The record that field reads and writes reach in stateFilter.
    RecordEntry* candidateRecord() const { return candidate_; }

    // --- Clones sharing this dataset's store ---------------------------------------------
    const std::vector<DOvuzaZerivir*>& cloneList() const { return cloneList_; }
    void addClone(DOvuzaZerivir* clone);
    void removeClone(DOvuzaZerivir* clone);

    // --- Keys, ranges and searching by key -----------------------------------------------
    // The key buffer of that kind while the dataset is open, else none.
    KeyBuffer* keyBuffer(TKeyIndex kind) const { return keys_[kind].get(); }
    // Lays out a key over the named fields (the index key over IndexFieldNames, the range keys
    // over RangeFieldNames, the search key over `names`), its image emptied.
    void prepareKey(TKeyIndex kind, const AnsiString& names = AnsiString());
    // Prepares the key and fills it from a key text: values separated (and each ended) by TAB.
    void fillKeyFromText(TKeyIndex kind, const AnsiString& keyText);
    // The key text of the current record over the named fields (each value, then a TAB).
    AnsiString currentKeyText(const AnsiString& names) const;
    // Shows only the records whose range fields lie between the two key texts (inclusive).
    void setRange(const AnsiString& startKeyText, const AnsiString& endKeyText);
    void cancelRange();
    bool rangeActive() const { return rangeActive_; }
    // Whether the view is known to be ordered on the named fields so that a binary search
    // over it finds what a scan would.
    bool keyOrderUsable(const AnsiString& names) const;
    // The first position from `start` whose record equals the search key over its compared
    // fields; -1 when none.
    int findByKey(int start, bool binary) const;

    // The password text that the store gets when it is made.
    const AnsiString& passwordText() const { return passwordText_; }

    // Shows an error that must not interrupt the operation that met it.
    void handleEngineException(const std::exception& error) const;

protected:
    // --- Engine virtuals that descendants supply ----------------------------------------
    virtual void setFieldOrigin(const AnsiString& origin) { fieldOrigin_ = origin; }
    const AnsiString& fieldOrigin() const { return fieldOrigin_; }
    // Fills the store (from a file, a stream, field definitions or a clone's source).
    virtual void loadStore() {}
    // Writes the store where it came from.
    virtual void saveStore() {}
    // Frees the store when the dataset owns it.
    virtual void releaseStore() {}
    // Copies the field origin text into every field.
    virtual void applyFieldOrigin();

    // Reads a table image into the store, making the store first when there is none. Without
    // keepStream reading starts at the beginning of the stream; with it, at its position.
    // A stream that is not a memory stream is read into one first. Raises "Error opening
    // table: ..." when the image cannot be read; the store is then freed.
    void loadFromStream(TStream& stream, bool keepStream);
    // Reads a table file into the store as loadFromStream reads its image, a piece at a time.
    // False, with nothing changed, when the file cannot be opened; false too, with the store
    // gone, when it cannot be read to its end. A refused image raises as loadFromStream does.
    bool loadFromFile(const std::string& path);
    // Shares another dataset's store (a clone) instead of owning one.
    void attachStore(TZerovCursor* shared);
    // Lets go of a shared store, or frees an owned one; the store is then absent.
    void detachStore();
    bool ownsStore() const { return ownedStore_ != nullptr; }
    // Frees the four key buffers and the values they hold.
    void freeKeys();

    void setPasswordText(const AnsiString& text) { passwordText_ = text; }
    void setCheckKeyViolation(bool value) { checkKeyViolation_ = value; }
    // A change that counts as unsaved without raising OnNeedToSaveChange or telling the
    // database folder (a new password on an open table).
    void countSilentChange() { ++changeCount_; }

    // --- Hooks of the master-detail link ------------------------------------------------
    // Whether a master link is active and names master fields.
    virtual bool masterRangeWanted() const;
    // Sets the range from the master's current key values.
    virtual void applyMasterRange();
    // Gives a new record the master's key values in its range fields.
    virtual void assignMasterValues();
    // Makes `entry` the candidate and asks OnFilterRecord (in stateFilter, accept preset true).
    bool filterRecordAccepts(RecordEntry* entry);
    void setViewPosition(int position) { viewPosition_ = position; }

    // --- TDataSet engine operations --------------------------------------------------------
    uint8_t* newRecordBuffer() override;
    void disposeRecordBuffer(uint8_t* buffer) override;
    int recordBufferSize() const override { return recordImageSize_; }
    TFetchResult fetchRecord(uint8_t* buffer, TFetchMode mode, bool check) override;
    void openStore() override;
    void closeStore() override;
    bool storeIsOpen() const override { return store_ != nullptr; }
    void describeFields() override;
    void moveBeforeFirst() override { viewPosition_ = -1; }
    void moveAfterLast() override { viewPosition_ = static_cast<int>(view_.size()); }
    void moveToBufferRecord(uint8_t* buffer) override;
    void moveToBookmark(TBookmark bookmark) override;
    TBookmarkFlag bookmarkFlagOf(const uint8_t* buffer) const override;
    void setBookmarkFlagOf(uint8_t* buffer, TBookmarkFlag flag) override;
    TBookmark copyBookmarkOut(const uint8_t* buffer) const override;
    void copyBookmarkIn(uint8_t* buffer, TBookmark bookmark) override;
    void clearRecordBuffer(uint8_t* buffer) override;
    void clearCalcArea(uint8_t* buffer) override;
    void storeNewRecord(uint8_t* buffer, bool append) override;
    void storeEditedRecord() override;
    void discardEdits() override;
    void deleteCurrentRecord() override;
    bool readFieldValue(TField* field, void* destination) override;
    void writeFieldValue(TField* field, const void* source) override;
    bool findRecordStep(bool restart, bool forward) override;
    void reloadRecords() override;

    void doBeforeClose() override;
    void doBeforeDelete() override;
    void doBeforeEdit() override;
    void doBeforeInsert() override;
    void doOnNewRecord() override;
    void insertAbandoned() override;
    void notification(TComponent* component, TOperation operation) override;

    // --- Buffer trailer access ---------------------------------------------------------
    int trailerOffset() const { return recordImageSize_ + calcFieldsSize(); }
    RecordEntry* entryOf(const uint8_t* buffer) const;
    int32_t recordNumberOf(const uint8_t* buffer) const;
    void setTrailer(uint8_t* buffer, RecordEntry* entry, TBookmarkFlag flag, int32_t number);
    int recordImageSize() const { return recordImageSize_; }
    // The field slots the dataset's buffers are laid out by: a copy of the store's field
    // descriptions taken when the dataset opened, so that buffers and keys never depend on
    // descriptions a reload may free.
    const std::vector<TZerovField>& bufferLayout() const { return layout_; }

private:
    // How a stored record is copied into a buffer: each run of adjacent fixed-size slots in one
    // copy, then the texts and BLOBs, which the buffer gets copies of.
    struct RecordCopyPlan {
        std::vector<std::pair<int32_t, int32_t>> fixedRuns; // offset, length
        std::vector<int32_t> textSlots;
        std::vector<int32_t> blobSlots;
    };
    // Makes the store when there is none, empties it and the view, before a load.
    void prepareStoreForLoad();
    // Raises "Error opening table: ..." for a refused image (the store then goes), or shows
    // what a partial open could not read.
    void finishLoad(bool ok, const AnsiString& message);
    void planRecordCopy();
    // Fills a buffer of this dataset with the values of a stored record. The buffer's text
    // blocks are reused when they are long enough: a walk over the records then seldom
    // allocates. The buffer never shares memory with the store.
    void copyStoredRecord(const uint8_t* source, uint8_t* target) const;
    // The buffer that field reads and writes reach in the current state, or none.
    uint8_t* valueBuffer() const;
    // The buffer being calculated in stateCalcFields: a lookup's own buffer while it reads its
    // result fields, else the framework's.
    uint8_t* calculatedBuffer() const { return lookupBuffer_ ? lookupBuffer_ : calcBuffer(); }
    // Whether the entry passes the Filter conditions (when the text is not empty) and then
    // OnFilterRecord (when assigned); called in stateFilter.
    bool passesFilter(RecordEntry* entry);
    // The first view index from `start` on, stepping forward or backward, whose record passes
    // the filter; -1 when none.
    int scanForMatch(int start, bool forward);
    // The first view index whose record matches the values in the search key's fields under
    // the options (a scan in stateFilter); -1 when none.
    int scanForKeys(const TVariant& keyValues, TLocateOptions options);
    // Per key field, whether its search value has a text form, and that text (upper-cased
    // when the case is ignored); worked out once per scan, used by the text fields.
    using SearchTexts = std::vector<std::pair<bool, AnsiString>>;
    bool candidateMatchesKeys(const TVariant& keyValues, TLocateOptions options,
                              const SearchTexts& searchTexts);
    // Writes the values into the search key and finds the first equal record; -1 when none.
    int findExactKey(const AnsiString& keyFields, const TVariant& keyValues);
    bool writeSearchValue(int keyIndex, const TVariant& value);
    void addChange();
    void dropChange();
    // Counts the change an edit or insert starting in `before` makes.
    void countChangeOf(DatasetState before);
    void clearChanges();
    void registerModified();
    void forgetModified();
    void registerOpen();
    void forgetOpen();
    void sortView();
    bool insideRange(const RecordEntry& entry) const;
    void applyNewRecordDefaults();
    void writeDataField(TField* field, uint8_t* buffer, const void* source);
    void postNewRecord(uint8_t* buffer);
    void checkTextLengths(const uint8_t* buffer, const char* prefix) const;
    int indexInView(const RecordEntry* entry) const;
    bool layoutMatchesStore() const;
    void storeReloaded();
    void closeClones();
    TZerovField* layoutField(const TField* field) const;
    bool fillsWindowBuffer() const;

    TZerovDatabase* database_ = nullptr;
    AnsiString indexFieldNames_;
    TZerovSortOptions sortOptions_;
    AnsiString rangeFieldNames_;
    // The detail side of a master-detail link; every table dataset has one.
    std::unique_ptr<TZerovMasterLink> masterLink_;
    AnsiString uniqueFieldNames_;
    bool readOnly_ = false;
    TSaveOptions saveOptions_;
    bool partialOpen_ = false;
    AnsiString notes_;
    bool checkKeyViolation_ = false;

    TZerovCursor* store_ = nullptr;
    std::unique_ptr<TZerovCursor> ownedStore_;
    RecordView view_;
    // The store's listVersion when the view was last made complete from it; none while a
    // rebuild is under way or after one failed.
    static constexpr uint64_t kNoListVersion = UINT64_MAX;
    uint64_t viewListVersion_ = kNoListVersion;
    int viewPosition_ = -1;
    int recordImageSize_ = 0;
    std::vector<TZerovField> layout_;
    RecordCopyPlan copyPlan_;
    bool viewReady_ = false;
    bool rangeActive_ = false;
    bool viewSorted_ = false;
    int changeCount_ = 0;
    std::array<std::unique_ptr<KeyBuffer>, 4> keys_;
    // The key being filled in stateSetKey.
    KeyBuffer* keyBeingFilled_ = nullptr;
    std::vector<DOvuzaZerivir*> cloneList_;
    RecordEntry* candidate_ = nullptr;
    TZerovFilter filter_{this};
    uint8_t* lookupBuffer_ = nullptr;
    AnsiString passwordText_;
    AnsiString fieldOrigin_;
};

} // namespace cibrano

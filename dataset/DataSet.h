#pragma once
// TDataSet: the abstract record set on which the table engine is built. It owns the state
// machine, a window of record buffers mirroring consecutive records around the current one,
// navigation and the edit cycle, the published events and the routing of notifications to
// the data sources. It stores no records: every access to stored data goes through the
// engine operations that a derived dataset supplies (the protected virtuals below).
//
// A derived dataset's destructor calls destroying() and then setActive(false), while its
// engine operations still exist; the base destructor cannot close a dataset.
//
// Handlers may act on the dataset while an operation is under way: close it, cancel, post or
// move. Every operation looks at the state again after each step that runs handlers, before
// it touches the record buffers or changes the state; when a handler took the dataset out of
// the state the operation works in, the operation ends there silently (as postRecord does when
// collecting the controls' edits ended the edit). What cannot be allowed is refused with
// "Cannot perform this operation while a record is being calculated, filtered or written":
// closing, moving or editing while calculated fields are computed or a record is filtered,
// and closing while a field value is written (default fields go with the close).

#include "dataset/DataSetTypes.h"
#include "dataset/FieldDefs.h"
#include "dataset/Fields.h"
#include "dataset/Variant.h"
#include "platform/AnsiString.h"
#include "platform/Component.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

namespace cibrano {

class TDataLink;
class TDataSource;
class TField;
class TStream;

class TDataSet : public TComponent {
public:
    using TDataSetNotifyEvent = std::function<void(TDataSet*)>;
    using TFilterRecordEvent = std::function<void(TDataSet*, bool& accept)>;

    explicit TDataSet(TComponent* owner = nullptr);
    ~TDataSet() override;

    // --- Published properties ----------------------------------------------------------
    // Active: neither inactive nor opening.
    bool Active() const { return state_ != stateInactive && state_ != stateOpening; }
    virtual void setActive(bool value);
    void open() { setActive(true); }
    void close() { setActive(false); }
    bool AutoCalcFields() const { return autoCalcFields_; }
    void setAutoCalcFields(bool value) { autoCalcFields_ = value; }
    // The engine applies these; the base only keeps them.
    bool Filtered() const { return filtered_; }
    virtual void setFiltered(bool value);
    const AnsiString& Filter() const { return filter_; }
    virtual void setFilter(const AnsiString& text);
    TFilterOptions FilterOptions() const { return filterOptions_; }
    virtual void setFilterOptions(TFilterOptions options);
    virtual void setOnFilterRecord(TFilterRecordEvent handler);
    int BlockReadSize() const { return blockReadSize_; }
    // A size above 0 enters stateBlockRead (visual controls hear nothing); 0 leaves it.
    void setBlockReadSize(int size);

    TDataSetNotifyEvent BeforeOpen, AfterOpen, BeforeClose, AfterClose;
    TDataSetNotifyEvent BeforeInsert, AfterInsert, BeforeEdit, AfterEdit;
    TDataSetNotifyEvent BeforePost, AfterPost, BeforeCancel, AfterCancel;
    TDataSetNotifyEvent BeforeDelete, AfterDelete, BeforeScroll, AfterScroll;
    TDataSetNotifyEvent OnNewRecord, OnCalcFields;
    TFilterRecordEvent OnFilterRecord;

    DatasetState State() const { return state_; }
    bool Modified() const { return modified_; }
    void setModified(bool value) { modified_ = value; }

    // --- The record window ---------------------------------------------------------------
    bool atBeginning() const { return bof_; }
    bool atEnd() const { return eof_; }
    bool hasNoRecords() const { return activeIndex_ >= filledCount_; }
    int bufferCount() const { return bufferCount_; }
    int filledCount() const { return filledCount_; }
    int activeIndex() const { return activeIndex_; }
    int cursorIndex() const { return cursorIndex_; }
    uint8_t* activeBuffer() const { return bufferAt(activeIndex_); }
    // Buffer i of the list (0 .. buffer count; the one at the filled count is the spare);
    // none outside it.
    uint8_t* bufferAt(int index) const;
    // The spare buffer, which the next fetch fills; also a scratch buffer for the engine.
    uint8_t* spareBuffer() const { return bufferAt(filledCount_); }
    // The buffer whose calculated fields are being computed.
    uint8_t* calcBuffer() const { return calcBuffer_; }

    // --- Navigation ----------------------------------------------------------------------
    void moveFirst();
    void moveLast();
    void moveNext() { moveByDistance(1); }
    void movePrior() { moveByDistance(-1); }
    // Moves by n records; answers the number actually moved (negative backwards).
    int moveByDistance(int distance);
    void refillBuffers(bool exact, bool center);
    // Re-reads the records from the engine and then the window.
    void refresh();
    bool findFirst() { return findRecordStep(true, true); }
    bool findLast() { return findRecordStep(true, false); }
    bool findNext() { return findRecordStep(false, true); }
    bool findPrior() { return findRecordStep(false, false); }
    // The current record's bookmark (none without a stored current record) and the move to a
    // bookmarked record.
    TBookmark getBookmark() const;
    void gotoBookmark(TBookmark bookmark);
    virtual bool bookmarkValid(TBookmark bookmark) const { return bookmark != nullptr; }
    virtual int compareBookmarks(TBookmark a, TBookmark b) const;

    // --- Edit cycle ----------------------------------------------------------------------
    void beginEdit();
    void beginInsert();
    void beginAppend();
    void postRecord();
    void cancelRecord();
    void deleteRecord();
    // Posts or cancels a pending edit before any move.
    void settlePendingEdit();
    // Asks the bound controls to write their pending text into fields.
    void collectControlEdits();

    // --- Notifications -------------------------------------------------------------------
    void suspendControls();
    void resumeControls();
    bool controlsSuspended() const { return suspendCount_ > 0; }
    // Whether any data source is attached: without one, no notification reaches anyone.
    bool hasDataSources() const { return !dataSources_.empty(); }
    // The single exit for notifications to the data sources.
    virtual void raiseDataEvent(DataEventKind kind, intptr_t info = 0);

    // --- Fields --------------------------------------------------------------------------
    TFields& Fields() { return fields_; }
    const TFields& Fields() const { return fields_; }
    TFieldDefs& FieldDefs() { return fieldDefs_; }
    const TFieldDefs& FieldDefs() const { return fieldDefs_; }
    int fieldCount() const { return fields_.count(); }
    TField* findField(const AnsiString& name) const { return fields_.findField(name); }
    TField* fieldByName(const AnsiString& name) const { return fields_.fieldByName(name); }
    // The fields named in a ';'-separated list, in its order (unknown names raise).
    std::vector<TField*> getFieldList(const AnsiString& names) const;
    int calcFieldsSize() const { return calcFieldsSize_; }
    bool hasInternalCalcFields() const { return internalCalcFields_; }

    // --- Engine queries offered to controls ---------------------------------------------
    virtual bool canModify() const { return true; }
    // -1 when the dataset cannot count or number its records.
    virtual int recordCount() const { return -1; }
    virtual int recordNumber() const { return -1; }
    virtual void moveToRecordNumber(int number);
    // Whether record numbers are meaningful (they always are here).
    virtual bool isSequenced() const { return true; }
    virtual TUpdateStatus updateStatus() const;
    // The data source of the master dataset, for cycle checks.
    virtual TDataSource* masterSourceOf() const { return nullptr; }
    // A stream over a BLOB field's value in the active record.
    virtual std::unique_ptr<TStream> createBlobStream(TField* field, TBlobStreamMode mode);
    // Searching by field values; the engine supplies both, the base raises "Capability not
    // supported". `keyValues` is one value, or an array with one value per name in the
    // ';'-separated `keyFields`.
    // locate makes the first matching record current and answers whether there was one; when
    // there was none the current record stays.
    virtual bool locate(const AnsiString& keyFields, const TVariant& keyValues,
                        TLocateOptions options);
    // The values of `resultFields` (one name gives one value, several an array) in the first
    // record whose key fields equal the values exactly; null when there is none. The current
    // record, the window and the cursor stay as they were, and no event is raised.
    virtual TVariant lookup(const AnsiString& keyFields, const TVariant& keyValues,
                            const AnsiString& resultFields);
    // The text of `resultField` in the record whose `keyFields` hold `keyValues` (texts);
    // false when there is none or its value is null. Serves lookup fields, through lookup.
    virtual bool lookupText(const AnsiString& keyFields, const std::vector<AnsiString>& keyValues,
                            const AnsiString& resultField, AnsiString& result);
    // Character translation of stored text on reading (toNative) and writing; none here.
    virtual AnsiString transliterate(const AnsiString& text, bool toNative) const;

    void checkActive() const;
    // Brings the engine's cursor onto the active record. Code outside the record cycle that
    // reads the engine's current record directly (a BLOB stream) calls this first.
    void updateCursorPosition();
    // Changes that need a closed dataset: closes it while the component is being designed or
    // updated, else "Cannot perform this operation on an open dataset".
    void checkInactive();

protected:
    // --- Engine operations ---------------------------------------------------------------
    virtual uint8_t* newRecordBuffer() = 0;
    virtual void disposeRecordBuffer(uint8_t* buffer) = 0;
    virtual int recordBufferSize() const = 0;
    virtual TFetchResult fetchRecord(uint8_t* buffer, TFetchMode mode, bool check) = 0;
    virtual void openStore() = 0;
    virtual void closeStore() = 0;
    virtual bool storeIsOpen() const = 0;
    virtual void describeFields() {}
    virtual void moveBeforeFirst() = 0;
    virtual void moveAfterLast() = 0;
    virtual void moveToBufferRecord(uint8_t* buffer) = 0;
    virtual void moveToBookmark(TBookmark bookmark) = 0;
    virtual TBookmarkFlag bookmarkFlagOf(const uint8_t* buffer) const = 0;
    virtual void setBookmarkFlagOf(uint8_t* buffer, TBookmarkFlag flag) = 0;
    virtual TBookmark copyBookmarkOut(const uint8_t* buffer) const = 0;
    virtual void copyBookmarkIn(uint8_t* buffer, TBookmark bookmark) = 0;
    virtual void clearRecordBuffer(uint8_t* buffer) = 0;
    virtual void clearCalcArea(uint8_t* /*buffer*/) {}
    virtual void storeNewRecord(uint8_t* buffer, bool append) = 0;
    virtual void storeEditedRecord() = 0;
    virtual void discardEdits() {}
    virtual void deleteCurrentRecord() = 0;
    virtual bool readFieldValue(TField* field, void* destination) = 0;
    virtual void writeFieldValue(TField* field, const void* source) = 0;
    virtual bool findRecordStep(bool /*restart*/, bool /*forward*/) { return false; }
    virtual void reloadRecords() {}
    // Runs when the edit of the active record starts, with the cursor on it.
    virtual void prepareEdit() {}
    // Internally calculated fields of a buffer, after a data field changed.
    virtual void refreshInternalCalcFields(uint8_t* buffer);
    virtual void calculateFields(uint8_t* buffer);

    // The steps that raise the published events; the engine adds its checks before the
    // before-delete, before-edit and before-insert steps and its defaults before OnNewRecord.
    virtual void doBeforeOpen();
    virtual void doAfterOpen();
    virtual void doBeforeClose();
    virtual void doAfterClose();
    virtual void doBeforeInsert();
    virtual void doAfterInsert();
    virtual void doBeforeEdit();
    virtual void doAfterEdit();
    virtual void doBeforePost();
    virtual void doAfterPost();
    virtual void doBeforeCancel();
    virtual void doAfterCancel();
    virtual void doBeforeDelete();
    virtual void doAfterDelete();
    virtual void doBeforeScroll();
    virtual void doAfterScroll();
    virtual void doOnNewRecord();
    // An insert or append that passed doBeforeInsert stopped before its new record was set up
    // (BeforeScroll raised, or a handler closed the dataset or moved into an edit).
    virtual void insertAbandoned() {}

    // --- Services for the engine ---------------------------------------------------------
    void setState(DatasetState state);
    // Temporary states (calculated fields, filter, set-key and the value states): entered
    // without a notification and with notifications held back; restoreState puts back the
    // state and the modified flag that setTempState found.
    DatasetState setTempState(DatasetState state);
    void restoreState(DatasetState saved);
    // The engine's cursor has moved away from the active record.
    void cursorPositionChanged() { cursorIndex_ = -1; }
    // Computes the calculated fields of a buffer (when there are any) in stateCalcFields.
    void computeCalcFields(uint8_t* buffer);
    bool usesDefaultFields() const { return defaultFields_; }
    // Fields from the definitions, for a dataset opened without fields of its own.
    void createFields();
    // Binds every field to its definition (or unbinds them all) and lays out the calculated
    // area: the type and size checks raise here.
    void bindFields(bool binding);
    // Destroys the fields in the field list.
    void destroyFields();
    void freeFieldBuffers();
    void checkRequiredFields();
    void checkCanModify() const;
    // Refills the window around the cursor while an error is on its way out; when the refill
    // fails as well, the window is left empty rather than that error hiding the first one.
    void refillAfterError();
    void loaded() override;
    void notification(TComponent* component, TOperation operation) override;

private:
    friend class TDataSource;
    friend class TDataLink;
    friend class TField;
    friend class TFieldDefs;

    // Open and close.
    void openDataSet();
    void closeDataSet();
    void openInternal();
    void shutDownStore();

    // Window primitives.
    void clearWindow();
    void activateWindow();
    void putCursorOnBuffer(int index);
    // Fetches into the spare buffer the record in `mode` from the one in buffer `from` (from
    // wherever the cursor is when the window is empty). A failure leaves the cursor on no buffer.
    bool fetchBeside(int from, TFetchMode mode);
    // fetchRecord, with buffer count changes asked for meanwhile (a handler run by the fetch
    // attached, resized or freed a link) held back until the window is whole again.
    TFetchResult fetchInto(uint8_t* buffer, TFetchMode mode, bool check);
    void applyPendingBufferCount();
    // Calculated fields being computed, a record being filtered (temporary states).
    bool computing() const;
    void checkNotComputing() const;
    bool fetchNextRecord();
    bool fetchPriorRecord();
    int fillForward();
    int fillBackward();
    void moveBuffer(int from, int to);
    void resizeBufferList(int size);
    void setBufferCount(int count);
    void updateBufferCount();
    void shiftLinksFirstVisible(int delta);
    void setLinkActiveIndex(int index);

    // The shared start; false when a handler ended the operation.
    bool beginInsertOrAppend();
    void endInsertOrAppend();
    void initNewBuffer(uint8_t* buffer);
    // The end of post, cancel and delete: browse state, then the window refilled.
    void backToBrowsing();

    // Data sources.
    void addDataSource(TDataSource* source);
    void removeDataSource(TDataSource* source);
    void fieldChanged(TField* field);

    DatasetState state_ = stateInactive;
    bool modified_ = false;
    bool autoCalcFields_ = true;
    bool filtered_ = false;
    AnsiString filter_;
    TFilterOptions filterOptions_;
    int blockReadSize_ = 0;
    bool streamedActive_ = false;
    bool openComplete_ = false;
    bool defaultFields_ = false;

    std::vector<uint8_t*> buffers_;
    int bufferCount_ = 0;
    int filledCount_ = 0;
    int activeIndex_ = 0;
    int cursorIndex_ = -1;
    bool bof_ = true;
    bool eof_ = true;
    uint8_t* calcBuffer_ = nullptr;
    int fetchDepth_ = 0;
    bool bufferCountPending_ = false;
    // Field values being written (validated, stored, announced) at this moment.
    int fieldWrites_ = 0;

    int suspendCount_ = 0;
    DatasetState suspendState_ = stateInactive;
    DataEventKind resumeEvent_ = evDatasetChange;
    std::vector<bool> savedModified_;

    std::vector<TDataSource*> dataSources_;
    TDataLink* firstLink_ = nullptr;

    TFields fields_;
    TFieldDefs fieldDefs_;
    int calcFieldsSize_ = 0;
    bool internalCalcFields_ = false;
};

} // namespace cibrano

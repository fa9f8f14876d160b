#pragma once
// The record store: one table held in memory, its field descriptions and every record as a
// raw record buffer, with the changes made since the last commit and the sorting of records.
// It knows nothing of files: TZerovCursor (engine/file/ZerovCursor.h) is this store reading
// and writing itself as a table file.
//
// A record's identity is the address of its RecordEntry (the dataset's bookmark): entries are
// made in the store's record pool and never move while the store lives, whatever sorting does
// to the list. Deleted records stay in the list as tombstones until the store is cleared,
// which frees the entries with the pool. Records read from a table keep their buffers and
// texts in the pool too (RecordEntry::pooled).
//
// Its members live in RecordStore.cpp (fields, records, changes, keys, sorting); the store as
// a table file reads and writes them through the protected part below.

#include "engine/record/RecordEntry.h"
#include "engine/record/RecordPool.h"
#include "engine/record/ZerovField.h"
#include "platform/AnsiString.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace cibrano {

class RecordStore {
public:
    RecordStore();
    // Clears everything (records, fields, the description section).
    ~RecordStore();
    RecordStore(const RecordStore&) = delete;
    RecordStore& operator=(const RecordStore&) = delete;

    // Hook set by the owning dataset: told when a record goes, with its user data to release.
    std::function<void(intptr_t& userData)> onDestroyRecordData;

    // The field description section exactly as read or built, and the field count it declares.
    const AnsiString& descriptionSection() const { return descriptionSection_; }
    int32_t declaredFieldCount() const { return declaredFieldCount_; }

    // ---- Fields ----

    int fieldCount() const { return static_cast<int>(fields_.size()); }
    // None when the index is outside 0 .. fieldCount() - 1.
    TZerovField* fieldAt(int index) const;
    // The first field whose name equals `name` ignoring case, or none.
    TZerovField* findField(std::string_view name) const;
    const ZerovFieldList& fields() const { return fields_; }
    // Bytes of a record buffer: the sum of the slot sizes.
    int recordBufferSize() const { return recordBufferSize_; }
    // The fields named in a ";"-separated list, in the order given; unknown names and BLOB
    // kinds (o, m, r, g) are left out.
    ZerovFieldList buildFieldList(std::string_view names) const;

    // ---- Records ----

    // Every entry, tombstones and deleted ones included.
    int entryCount() const { return static_cast<int>(entries_.size()); }
    // None when the index is outside the list.
    RecordEntry* recordAt(int index) const;
    const std::vector<RecordEntry*>& entries() const { return entries_; }
    // How many entries hold no record a view can show: deleted, removed, or without values.
    // When none do, a view of every record is the list as it stands.
    size_t unshownEntryCount() const { return unshownEntries_; }
    // Moves on whenever the list changes which records it holds, which of them are live or in
    // which order: a record added, deleted, removed or brought back, the list sorted, cleared
    // or read. Values posted into a record that stays do not move it. A view made from the
    // list at one count is still complete while the count stays the same.
    uint64_t listVersion() const { return listVersion_; }
    // Moves on whenever the list changes (as listVersion) or values are written into a stored
    // record (a post, a revert, a write made straight into a record while a dataset filters).
    // Taken from one count for the whole process, so that no two stores, and no two states of
    // one store, ever show the same number: an unchanged number means unchanged contents.
    uint64_t contentVersion() const { return contentVersion_; }
    // Tells the store that values were written into one of its records from outside it.
    void valuesChanged();

    // A new zero-filled record buffer (`new uint8_t[recordBufferSize()]()`), the caller's.
    uint8_t* newRecordBuffer() const;
    // The record's buffer to write values into: a pooled record first gets a buffer of its
    // own, with its own copies of the texts and BLOBs. Null for a record without data.
    uint8_t* ownRecordData(RecordEntry* entry);

    // ---- Changes ----

    // Keeps a backup of the record as it is before its first change; false for none, a deleted
    // record or a tombstone.
    bool beginRecordEdit(RecordEntry* entry);
    // Stores the buffer's values into `entry` (which becomes modified unless inserted), or with
    // no entry appends a new inserted record, numbered by the automatic-number counter when
    // the table has such a field.
    bool putRecord(const uint8_t* buffer, RecordEntry* entry, AnsiString& message);
    // A record inserted since the last commit goes at once (tombstone); others are marked
    // deleted and keep their data until committed.
    bool markRecordDeleted(RecordEntry* entry, AnsiString& message);
    // Back to the values of the backup, if any; the record is unchanged afterwards.
    void revertRecord(RecordEntry* entry);
    void revertAllChanges();
    void commitAllChanges();
    // Frees every record (last first); with `alsoFields` also the field descriptions.
    void clearStore(bool alsoFields);

    // ---- Buffers and keys ----

    // Copies every value, giving the target its own copies of texts and BLOBs.
    void copyRecordValues(const uint8_t* source, uint8_t* target) const;
    // Releases the texts and BLOBs a buffer refers to and clears the references.
    void freeRecordValues(uint8_t* buffer) const;
    // Whether a live record other than `entry` equals the buffer in every key field (the fields
    // named in `keyFieldNames`, all fields when it is empty), compared case-sensitively.
    bool hasDuplicateKey(const uint8_t* buffer, const RecordEntry* entry,
                         std::string_view keyFieldNames) const;
    // Reorders the whole list, ascending, by the named fields. Tombstones sort first.
    void sortRecords(std::string_view fieldNames, bool caseInsensitive);

    // ---- Automatic numbers ----

    // The last automatic number handed out.
    int32_t autoIncCounter() const { return autoIncCounter_; }
    // The first field of kind a, or none.
    TZerovField* autoIncField() const { return autoIncField_; }

protected:
    // What the store as a table file (engine/file/) reads and writes.

    void freeEntryValues(RecordEntry* entry);
    // Releases a record buffer with the values it refers to, and clears the pointer.
    void freeBuffer(uint8_t*& buffer) const;
    // Lets go of the entry's data (kept in the pool when pooled, else freed).
    void releaseData(RecordEntry* entry);
    RecordEntry* newEntry();
    void removeEntry(RecordEntry* entry);
    static bool isShown(const RecordEntry* entry) { return entry->isLive() && entry->data; }
    // Counts the change of an entry that was shown (`wasShown`) or not into unshownEntries_.
    void recount(const RecordEntry* entry, bool wasShown) {
        unshownEntries_ += static_cast<size_t>(wasShown && !isShown(entry));
        unshownEntries_ -= static_cast<size_t>(!wasShown && isShown(entry));
    }
    void listChanged() {
        ++listVersion_;
        valuesChanged();
    }
    bool contains(const RecordEntry* entry) const;
    void establishAutoIncCounter();

    // The entries, and the buffers and values of the records read from a table.
    RecordPool pool_;
    std::vector<RecordEntry*> entries_;
    // The entries' addresses in address order, so that `contains` answers a large store by
    // binary search instead of a scan per post: made when first needed, kept up to date as
    // records are added, dropped when the list is cleared, remade when the list grew by other
    // ways (reading). Entries leave the list only when it is cleared.
    mutable std::vector<const RecordEntry*> entryIndex_;
    mutable bool entryIndexValid_ = false;
    // The entries that fail isShown, kept up to date by every change of an entry's state.
    size_t unshownEntries_ = 0;
    uint64_t listVersion_ = 0;
    uint64_t contentVersion_ = 0;
    std::vector<std::unique_ptr<TZerovField>> ownedFields_;
    ZerovFieldList fields_;
    AnsiString descriptionSection_;
    int32_t declaredFieldCount_ = 0;
    int recordBufferSize_ = 0;
    int32_t autoIncCounter_ = 0;
    TZerovField* autoIncField_ = nullptr;
};

} // namespace cibrano

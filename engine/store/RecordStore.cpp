#include "engine/store/RecordStore.h"

#include "engine/record/FieldValues.h"
#include "engine/sort/RecordSort.h"
#include "engine/store/AddressOrder.h"
#include "engine/store/StoreConst.h"
#include "platform/AnsiCase.h"

#include <algorithm>
#include <atomic>
#include <cstring>
#include <exception>
#include <limits>
#include <memory>
#include <new>
#include <utility>

namespace cibrano {

namespace {

// Ascending order of two entries by the key fields; tombstones (no data) come first, so that
// sorting a list that holds some never touches a missing buffer.
int compareEntries(const RecordEntry* a, const RecordEntry* b, const ZerovFieldList& keys,
                   bool caseInsensitive) {
    if (!a->data || !b->data)
        return int(a->data != nullptr) - int(b->data != nullptr);
    return compareRecordKeys(a->data, b->data, keys, -1, caseInsensitive);
}

void sortEntries(std::vector<RecordEntry*>& entries, const ZerovFieldList& keys,
                 bool caseInsensitive) {
    if (keys.empty())
        return;
    quickSortRecords(entries, [&](const RecordEntry* a, const RecordEntry* b) {
        return compareEntries(a, b, keys, caseInsensitive);
    });
}

} // namespace

RecordStore::RecordStore() {
    valuesChanged();
}

void RecordStore::valuesChanged() {
    static std::atomic<uint64_t> counter{0};
    contentVersion_ = ++counter;
}

RecordStore::~RecordStore() {
    try {
        clearStore(true);
    } catch (...) {
        // A failing user-data hook must not escape a destructor; the memory is freed anyway.
    }
}

// ---- Fields ----

TZerovField* RecordStore::fieldAt(int index) const {
    if (index < 0 || index >= fieldCount())
        return nullptr;
    return fields_[static_cast<size_t>(index)];
}

TZerovField* RecordStore::findField(std::string_view name) const {
    for (TZerovField* f : fields_)
        if (ansiSameText(f->fieldName, name))
            return f;
    return nullptr;
}

ZerovFieldList RecordStore::buildFieldList(std::string_view names) const {
    ZerovFieldList list;
    while (!names.empty()) {
        size_t semi = names.find(';');
        std::string_view name = names.substr(0, semi);
        names = semi == std::string_view::npos ? std::string_view() : names.substr(semi + 1);
        TZerovField* f = findField(name);
        if (f && !isBlobKind(f->storageKind))
            list.push_back(f);
    }
    return list;
}

// ---- Records ----

RecordEntry* RecordStore::recordAt(int index) const {
    if (index < 0 || index >= entryCount())
        return nullptr;
    return entries_[static_cast<size_t>(index)];
}

uint8_t* RecordStore::newRecordBuffer() const {
    return new uint8_t[static_cast<size_t>(recordBufferSize_)]();
}

RecordEntry* RecordStore::newEntry() {
    return new (pool_.allocate(sizeof(RecordEntry))) RecordEntry();
}

uint8_t* RecordStore::ownRecordData(RecordEntry* entry) {
    if (!entry || !entry->data)
        return nullptr;
    if (entry->pooled) {
        std::unique_ptr<uint8_t[]> own(newRecordBuffer());
        try {
            copyRecordValues(entry->data, own.get());
        } catch (...) {
            freeRecordValues(own.get());
            throw;
        }
        entry->data = own.release();
        entry->pooled = false;
    }
    return entry->data;
}

namespace {
// Below this many records a scan is as quick as keeping the index.
constexpr size_t kIndexedContainsFrom = 1024;
} // namespace

bool RecordStore::contains(const RecordEntry* entry) const {
    if (entries_.size() < kIndexedContainsFrom)
        return std::find(entries_.begin(), entries_.end(), entry) != entries_.end();
    if (!entryIndexValid_ || entryIndex_.size() != entries_.size()) {
        orderByAddress(entries_, entryIndex_);
        entryIndexValid_ = true;
    }
    return std::binary_search(entryIndex_.begin(), entryIndex_.end(), entry,
                              std::less<const RecordEntry*>());
}

// ---- Changes ----

bool RecordStore::beginRecordEdit(RecordEntry* entry) {
    if (!entry || !entry->isLive() || !entry->data)
        return false;
    if (!entry->backup) {
        std::unique_ptr<uint8_t[]> backup(newRecordBuffer());
        copyRecordValues(entry->data, backup.get());
        entry->backup = backup.release();
    }
    return true;
}

bool RecordStore::putRecord(const uint8_t* buffer, RecordEntry* entry, AnsiString& message) {
    message.clear();
    if (entry) {
        if (!contains(entry)) {
            message = msg::RecordNotFound;
            return false;
        }
        if (!entry->isLive() || !entry->data) {
            message = msg::RecordDeleted;
            return false;
        }
        if (entry->status == recUnchanged)
            entry->status = recModified;
        if (buffer)
            copyRecordValues(buffer, ownRecordData(entry));
        valuesChanged();
        return true;
    }

    int32_t number = 0;
    if (autoIncField_) {
        if (autoIncCounter_ == std::numeric_limits<int32_t>::max()) {
            message = "Automatic numbers are used up";
            return false;
        }
        number = autoIncCounter_ + 1;
    }
    std::unique_ptr<uint8_t[]> data(newRecordBuffer());
    RecordEntry* e = newEntry();
    e->data = data.get();
    e->status = recInserted;
    try {
        if (buffer)
            copyRecordValues(buffer, data.get());
        entries_.push_back(e);
        if (entryIndexValid_ && entryIndex_.size() + 1 == entries_.size()) {
            try {
                entryIndex_.insert(std::upper_bound(entryIndex_.begin(), entryIndex_.end(), e,
                                                    std::less<const RecordEntry*>()),
                                   e);
            } catch (...) {
                // Without room for it the index is remade when next needed.
                entryIndexValid_ = false;
            }
        }
    } catch (...) {
        // The entry stays unused in the pool.
        e->data = nullptr;
        freeRecordValues(data.get());
        throw;
    }
    listChanged();
    data.release();
    if (autoIncField_) {
        autoIncCounter_ = number;
        writeSlot<int32_t>(slotOf(e->data, *autoIncField_), number);
    }
    return true;
}

// Frees the record's values and buffers, lets the dataset release its user data and leaves a
// tombstone.
void RecordStore::removeEntry(RecordEntry* entry) {
    const bool wasShown = isShown(entry);
    freeEntryValues(entry);
    entry->status = recRemoved;
    recount(entry, wasShown);
    listChanged();
    if (onDestroyRecordData)
        onDestroyRecordData(entry->userData);
    entry->userData = 0;
}

void RecordStore::freeEntryValues(RecordEntry* entry) {
    freeBuffer(entry->backup);
    releaseData(entry);
}

void RecordStore::releaseData(RecordEntry* entry) {
    if (entry->pooled) {
        // Only values written into the pooled buffer from outside the store lie elsewhere.
        for (const TZerovField* f : fields_) {
            if (!isTextRefKind(f->storageKind) && !isBlobKind(f->storageKind))
                continue;
            uint8_t* slot = slotOf(entry->data, *f);
            const void* value = isBlobKind(f->storageKind)
                                    ? static_cast<const void*>(blobRefAt(slot))
                                    : textRefAt(slot);
            if (value && !pool_.owns(value))
                releaseSlotValue(slot, *f);
        }
        entry->data = nullptr;
        entry->pooled = false;
    } else {
        freeBuffer(entry->data);
    }
}

void RecordStore::freeBuffer(uint8_t*& buffer) const {
    freeRecordValues(buffer);
    delete[] buffer;
    buffer = nullptr;
}

bool RecordStore::markRecordDeleted(RecordEntry* entry, AnsiString& message) {
    message.clear();
    if (!entry || !contains(entry)) {
        message = msg::RecordNotFound;
        return false;
    }
    if (!entry->isLive()) {
        message = msg::RecordDeleted;
        return false;
    }
    if (entry->status == recInserted) {
        removeEntry(entry);
    } else {
        const bool wasShown = isShown(entry);
        entry->status = recDeleted;
        recount(entry, wasShown);
        listChanged();
    }
    return true;
}

void RecordStore::revertRecord(RecordEntry* entry) {
    if (!entry)
        return;
    const bool wasShown = isShown(entry);
    if (entry->backup) {
        // The backup already is a buffer of its own with its own copies: it becomes the data.
        releaseData(entry);
        entry->data = entry->backup;
        entry->backup = nullptr;
    }
    if (entry->status == recDeleted)
        listChanged();
    entry->status = recUnchanged;
    recount(entry, wasShown);
    valuesChanged();
}

void RecordStore::revertAllChanges() {
    for (RecordEntry* e : entries_) {
        switch (e->status) {
        case recModified:
        case recDeleted:
            revertRecord(e);
            break;
        case recInserted:
            removeEntry(e);
            break;
        default:
            break;
        }
    }
}

void RecordStore::commitAllChanges() {
    valuesChanged();
    for (RecordEntry* e : entries_) {
        if (e->status == recDeleted) {
            removeEntry(e);
        } else if (e->status != recRemoved) {
            e->status = recUnchanged;
            freeBuffer(e->backup);
        }
    }
}

void RecordStore::clearStore(bool alsoFields) {
    // Every entry is freed even when a hook raises; the first error is passed on afterwards.
    std::exception_ptr failure;
    listChanged();
    entryIndexValid_ = false;
    entryIndex_.clear();
    entryIndex_.shrink_to_fit();
    while (!entries_.empty()) {
        RecordEntry* e = entries_.back();
        entries_.pop_back();
        freeEntryValues(e);
        if (onDestroyRecordData) {
            try {
                onDestroyRecordData(e->userData);
            } catch (...) {
                if (!failure)
                    failure = std::current_exception();
            }
        }
    }
    entries_.shrink_to_fit();
    unshownEntries_ = 0;
    pool_.release();
    autoIncCounter_ = 0;
    if (alsoFields) {
        fields_.clear();
        ownedFields_.clear();
        autoIncField_ = nullptr;
        recordBufferSize_ = 0;
        descriptionSection_.clear();
        declaredFieldCount_ = 0;
    }
    if (failure)
        std::rethrow_exception(failure);
}

// ---- Buffers and keys ----

void RecordStore::copyRecordValues(const uint8_t* source, uint8_t* target) const {
    if (source == target)
        return;
    for (const TZerovField* f : fields_) {
        const uint8_t* from = slotOf(source, *f);
        uint8_t* to = slotOf(target, *f);
        if (isTextRefKind(f->storageKind)) {
            releaseText(textRefAt(to));
            setTextRef(to, nullptr);
            const char* text = textRefAt(from);
            if (text && *text) {
                size_t n = std::strlen(text);
                char* copy = new char[n + 1];
                std::memcpy(copy, text, n + 1);
                setTextRef(to, copy);
            }
        } else if (isBlobKind(f->storageKind)) {
            releaseBlob(blobRefAt(to));
            setBlobRef(to, nullptr, 0);
            const uint8_t* block = blobRefAt(from);
            int32_t length = blobLengthAt(from);
            if (block && length > 0) {
                auto* copy = new uint8_t[static_cast<size_t>(length)];
                std::memcpy(copy, block, static_cast<size_t>(length));
                setBlobRef(to, copy, length);
            }
        } else {
            std::memcpy(to, from, f->dataSize);
        }
    }
}

void RecordStore::freeRecordValues(uint8_t* buffer) const {
    if (!buffer)
        return;
    for (const TZerovField* f : fields_)
        releaseSlotValue(slotOf(buffer, *f), *f);
}

bool RecordStore::hasDuplicateKey(const uint8_t* buffer, const RecordEntry* entry,
                                  std::string_view keyFieldNames) const {
    ZerovFieldList keys = keyFieldNames.empty() ? fields_ : buildFieldList(keyFieldNames);
    // No key field, no key to violate (otherwise every record would equal every other).
    if (keys.empty() || !buffer)
        return false;
    for (const RecordEntry* e : entries_) {
        if (e == entry || !e->isLive() || !e->data)
            continue;
        if (compareRecordKeys(e->data, buffer, keys, -1) == 0)
            return true;
    }
    return false;
}

void RecordStore::sortRecords(std::string_view fieldNames, bool caseInsensitive) {
    sortEntries(entries_, buildFieldList(fieldNames), caseInsensitive);
    listChanged();
}

// ---- Automatic numbers ----

// The counter continues from the highest number loaded: the records are ordered by the
// automatic-number field and the last one's value is taken.
void RecordStore::establishAutoIncCounter() {
    autoIncCounter_ = 0;
    if (!autoIncField_ || entries_.empty())
        return;
    try {
        sortEntries(entries_, ZerovFieldList{autoIncField_}, false);
        const RecordEntry* last = entries_.back();
        if (last->data)
            autoIncCounter_ = readSlot<int32_t>(slotOf(last->data, *autoIncField_));
    } catch (...) {
        autoIncCounter_ = 0;
    }
}

} // namespace cibrano

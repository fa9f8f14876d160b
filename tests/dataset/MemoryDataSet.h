#pragma once
// A small dataset over records held in memory, implementing the engine contract in the most
// direct way: records in a list (a record's address is its bookmark), a cursor index into it,
// OnFilterRecord applied while fetching, locate and lookup by a plain scan. Tests of the framework
// (and of anything built on data links) run against it.

#include "dataset/DataSet.h"
#include "dataset/DataSource.h"
#include "dataset/Field.h"
#include "platform/AnsiCase.h"
#include "platform/DatabaseError.h"
#include "platform/RunThenAlways.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace cibrano::testkit {

class TMemoryDataSet : public TDataSet {
public:
    struct Record {
        std::vector<uint8_t> image; // per column: a has-value byte, then the value
        bool deleted = false;
    };

    // A value of a stored row: null, a number or a text.
    struct Value {
        enum Kind { Null, Number, Text } kind;
        double number = 0;
        AnsiString text;
        Value(std::nullptr_t) : kind(Null) {}
        Value(double v) : kind(Number), number(v) {}
        Value(int v) : kind(Number), number(v) {}
        Value(const char* t) : kind(Text), text(t) {}
    };

    explicit TMemoryDataSet(TComponent* owner = nullptr) : TDataSet(owner) {}
    ~TMemoryDataSet() override {
        destroying();
        setActive(false);
    }

    void addColumn(const AnsiString& name, TFieldType type, int size = 0, bool required = false) {
        columns_.push_back({name, type, size, required, imageSize_, widthOf(type, size)});
        imageSize_ += 1 + columns_.back().width;
        for (auto& r : records_)
            r->image.resize(static_cast<size_t>(imageSize_), 0);
    }

    // Stores a row directly (open or closed); the window is not re-read.
    void addRow(std::vector<Value> values) {
        auto r = std::make_unique<Record>();
        r->image.assign(static_cast<size_t>(imageSize_), 0);
        for (size_t i = 0; i < values.size() && i < columns_.size(); ++i)
            putValue(r->image.data(), columns_[i], values[i]);
        records_.push_back(std::move(r));
    }

    int storedCount() const {
        return static_cast<int>(
            std::count_if(records_.begin(), records_.end(), [](auto& r) { return !r->deleted; }));
    }
    // The stored value of a column of the n-th live record, as a number (0 for null).
    double storedNumber(int row, int column) const {
        const Column& c = columns_[static_cast<size_t>(column)];
        const uint8_t* slot = liveRecord(row)->image.data() + c.offset;
        if (!slot[0])
            return 0;
        if (c.type == ftFloat || c.type == ftCurrency) {
            double v;
            std::memcpy(&v, slot + 1, sizeof v);
            return v;
        }
        int32_t v;
        std::memcpy(&v, slot + 1, sizeof v);
        return v;
    }
    AnsiString storedText(int row, int column) const {
        const Column& c = columns_[static_cast<size_t>(column)];
        const uint8_t* slot = liveRecord(row)->image.data() + c.offset;
        return slot[0] ? AnsiString(reinterpret_cast<const char*>(slot + 1)) : AnsiString();
    }

    bool readOnly = false;
    TDataSource* masterSource = nullptr;
    // Makes the next storeEditedRecord / deleteCurrentRecord raise this message.
    AnsiString failNextStore;
    // The store operations the framework called, in order.
    std::vector<std::string> storeCalls;

    bool canModify() const override { return !readOnly; }
    TDataSource* masterSourceOf() const override { return masterSource; }
    int recordCount() const override {
        int n = 0;
        for (size_t i = 0; i < records_.size(); ++i)
            n += visible(static_cast<int>(i));
        return n;
    }
    int recordNumber() const override {
        const uint8_t* b = State() == stateCalcFields ? calcBuffer() : activeBuffer();
        if (!b || hasNoRecords())
            return -1;
        int32_t n;
        std::memcpy(&n, b + trailer() + sizeof(Record*) + 1, sizeof n);
        return n;
    }

    // Filtered on an open dataset applies at once, settling a pending edit first and ending on
    // the first visible record, as the table engine does.
    void setFiltered(bool value) override {
        if (!Active()) {
            TDataSet::setFiltered(value);
            return;
        }
        settlePendingEdit();
        TDataSet::setFiltered(value);
        moveFirst();
    }

    // One call of locate, as it was asked.
    struct LocateCall {
        AnsiString fields;
        TVariant values;
        TLocateOptions options;
    };
    std::vector<LocateCall> locateCalls;

    // A scan over the visible records in order; the key values compare as the table engine
    // compares them (converted to the search value's kind, texts upper-cased and matched as
    // prefixes under the options).
    bool locate(const AnsiString& fields, const TVariant& values, TLocateOptions options) override {
        locateCalls.push_back({fields, values, options});
        checkActive();
        doBeforeScroll();
        settlePendingEdit();
        int found = findVisible(fields, values, options);
        if (found < 0)
            return false;
        pos_ = found;
        cursorPositionChanged();
        refillBuffers(true, true);
        doAfterScroll();
        return true;
    }

    TVariant lookup(const AnsiString& fields, const TVariant& values,
                    const AnsiString& results) override {
        checkActive();
        int found = findVisible(fields, values, TLocateOptions());
        if (found < 0)
            return TVariant::null();
        std::vector<TVariant> answer;
        withCandidate(records_[static_cast<size_t>(found)].get(), [&] {
            for (TField* f : getFieldList(results))
                answer.push_back(f->value());
        });
        return answer.size() == 1 ? answer.front() : TVariant(std::move(answer));
    }

    using TDataSet::bindFields;
    using TDataSet::restoreState;
    using TDataSet::setTempState;

protected:
    uint8_t* newRecordBuffer() override {
        return new uint8_t[static_cast<size_t>(recordBufferSize())]();
    }
    void disposeRecordBuffer(uint8_t* buffer) override { delete[] buffer; }
    int recordBufferSize() const override {
        return trailer() + static_cast<int>(sizeof(Record*)) + 1 + 4;
    }

    TFetchResult fetchRecord(uint8_t* buffer, TFetchMode mode, bool) override {
        const int n = static_cast<int>(records_.size());
        int p = pos_;
        switch (mode) {
        case fetchCurrent:
            if (p < 0 || p >= n || !visible(p))
                return fetchError;
            break;
        case fetchNext:
            for (p = std::max(p, -1) + 1; p < n && !visible(p); ++p) {
            }
            if (p >= n)
                return fetchEOF;
            break;
        case fetchPrior:
            for (p = std::min(p, n) - 1; p >= 0 && !visible(p); --p) {
            }
            if (p < 0)
                return fetchBOF;
            break;
        }
        pos_ = p;
        Record* r = records_[static_cast<size_t>(p)].get();
        std::memcpy(buffer, r->image.data(), static_cast<size_t>(imageSize_));
        setTrailer(buffer, r, bookmarkCurrent, ordinalOf(p));
        computeCalcFields(buffer);
        return fetchOK;
    }

    void openStore() override {
        FieldDefs().setUpdated(false);
        FieldDefs().update();
        if (usesDefaultFields())
            createFields();
        bindFields(true);
        pos_ = -1;
        open_ = true;
    }
    void closeStore() override {
        bindFields(false);
        if (usesDefaultFields())
            destroyFields();
        open_ = false;
    }
    bool storeIsOpen() const override { return open_; }
    void describeFields() override {
        FieldDefs().clear();
        for (const Column& c : columns_)
            FieldDefs().add(c.name, c.type, c.size, c.required);
    }

    void moveBeforeFirst() override { pos_ = -1; }
    void moveAfterLast() override { pos_ = static_cast<int>(records_.size()); }
    void moveToBufferRecord(uint8_t* buffer) override { moveToBookmark(copyBookmarkOut(buffer)); }
    void moveToBookmark(TBookmark bookmark) override {
        for (size_t i = 0; i < records_.size(); ++i)
            if (records_[i].get() == bookmark)
                pos_ = static_cast<int>(i);
    }
    TBookmarkFlag bookmarkFlagOf(const uint8_t* buffer) const override {
        return static_cast<TBookmarkFlag>(buffer[trailer() + sizeof(Record*)]);
    }
    void setBookmarkFlagOf(uint8_t* buffer, TBookmarkFlag flag) override {
        buffer[trailer() + sizeof(Record*)] = static_cast<uint8_t>(flag);
    }
    TBookmark copyBookmarkOut(const uint8_t* buffer) const override {
        Record* r;
        std::memcpy(&r, buffer + trailer(), sizeof r);
        return r;
    }
    void copyBookmarkIn(uint8_t* buffer, TBookmark bookmark) override {
        const void* r = bookmark;
        std::memcpy(buffer + trailer(), &r, sizeof r);
    }
    void clearRecordBuffer(uint8_t* buffer) override {
        std::memset(buffer, 0, static_cast<size_t>(recordBufferSize()));
        setTrailer(buffer, nullptr, bookmarkInserted, -1);
    }
    void clearCalcArea(uint8_t* buffer) override {
        std::memset(buffer + imageSize_, 0, static_cast<size_t>(calcFieldsSize()));
    }

    void storeNewRecord(uint8_t* buffer, bool append) override {
        auto r = std::make_unique<Record>();
        r->image.assign(buffer, buffer + imageSize_);
        records_.insert(append || pos_ < 0 ? records_.end() : records_.begin() + pos_,
                        std::move(r));
    }
    void storeEditedRecord() override {
        storeCalls.push_back(State() == stateEdit ? "update" : "insert");
        failIfAsked();
        uint8_t* b = activeBuffer();
        if (State() == stateEdit) {
            auto* r = const_cast<Record*>(static_cast<const Record*>(copyBookmarkOut(b)));
            std::memcpy(r->image.data(), b, static_cast<size_t>(imageSize_));
            return;
        }
        // A new record goes before the record the insert started from, or at the end.
        auto r = std::make_unique<Record>();
        r->image.assign(b, b + imageSize_);
        Record* raw = r.get();
        auto at = records_.end();
        if (bookmarkFlagOf(b) == bookmarkInserted && copyBookmarkOut(b))
            for (auto it = records_.begin(); it != records_.end(); ++it)
                if (it->get() == copyBookmarkOut(b))
                    at = it;
        auto inserted = records_.insert(at, std::move(r));
        pos_ = static_cast<int>(inserted - records_.begin());
        setTrailer(b, raw, bookmarkCurrent, ordinalOf(pos_));
    }
    void discardEdits() override { storeCalls.push_back("discard"); }
    void deleteCurrentRecord() override {
        storeCalls.push_back("delete");
        failIfAsked();
        const void* bookmark = copyBookmarkOut(activeBuffer());
        for (auto& r : records_)
            if (r.get() == bookmark)
                r->deleted = true;
    }
    void prepareEdit() override { storeCalls.push_back("prepareEdit"); }

    bool readFieldValue(TField* field, void* destination) override {
        uint8_t* slot = slotOf(field);
        if (!slot)
            return false;
        if (destination)
            std::memset(destination, 0, static_cast<size_t>(field->dataSize()));
        if (!slot[0])
            return false;
        if (destination)
            std::memcpy(destination, slot + 1, copySize(field));
        return true;
    }
    void writeFieldValue(TField* field, const void* source) override {
        DatasetState s = State();
        if (s != stateEdit && s != stateInsert && s != stateSetKey && s != stateCalcFields &&
            s != stateFilter)
            databaseError("Dataset not in edit or insert mode", this);
        uint8_t* slot = slotOf(field);
        if (!slot)
            return;
        if (field->FieldNo() > 0) {
            if (s == stateCalcFields)
                databaseError("Cannot edit CalcFields", this);
            if (field->ReadOnly() && s != stateSetKey && s != stateFilter)
                databaseError("Field '" + field->displayName() + "' is read only!", this);
            field->validate(source);
        }
        slot[0] = source != nullptr;
        size_t n = copySize(field);
        std::memset(slot + 1, 0, n);
        if (source)
            std::memcpy(slot + 1, source, n);
        if (field->FieldNo() > 0 && field->DataType() == ftString)
            slot[n] = 0; // a text cut to the column keeps its terminator
        if (s != stateSetKey && s != stateCalcFields && s != stateFilter)
            raiseDataEvent(evFieldChange, fieldEventInfo(field));
    }

private:
    struct Column {
        AnsiString name;
        TFieldType type;
        int size;
        bool required;
        int offset;
        int width;
    };

    static int widthOf(TFieldType type, int size) {
        switch (type) {
        case ftString:
            return size + 1;
        case ftSmallint:
        case ftWord:
        case ftBoolean:
            return 2;
        case ftFloat:
        case ftCurrency:
        case ftDateTime:
            return 8;
        default:
            return 4;
        }
    }

    static void putValue(uint8_t* image, const Column& c, const Value& v) {
        uint8_t* slot = image + c.offset;
        if (v.kind == Value::Null)
            return;
        slot[0] = 1;
        if (v.kind == Value::Text) {
            std::memcpy(slot + 1, v.text.data(), std::min<size_t>(v.text.size(), c.width - 1));
        } else if (c.type == ftFloat || c.type == ftCurrency) {
            std::memcpy(slot + 1, &v.number, sizeof v.number);
        } else if (c.width == 2) {
            int16_t i = static_cast<int16_t>(v.number);
            std::memcpy(slot + 1, &i, sizeof i);
        } else {
            int32_t i = static_cast<int32_t>(v.number);
            std::memcpy(slot + 1, &i, sizeof i);
        }
    }

    int trailer() const { return imageSize_ + calcFieldsSize(); }

    void setTrailer(uint8_t* buffer, const Record* r, TBookmarkFlag flag, int32_t number) {
        std::memcpy(buffer + trailer(), &r, sizeof r);
        buffer[trailer() + sizeof r] = static_cast<uint8_t>(flag);
        std::memcpy(buffer + trailer() + sizeof r + 1, &number, sizeof number);
    }

    bool visible(int index) const {
        Record* r = records_[static_cast<size_t>(index)].get();
        if (r->deleted)
            return false;
        if (!Filtered() || !OnFilterRecord)
            return true;
        auto* self = const_cast<TMemoryDataSet*>(this);
        bool accept = true;
        self->withCandidate(r, [&] { self->OnFilterRecord(self, accept); });
        return accept;
    }

    // Runs `body` in stateFilter with `r` as the record that field reads reach.
    template <typename Body> void withCandidate(Record* r, Body body) {
        DatasetState saved = setTempState(stateFilter);
        Record* previous = candidate_;
        candidate_ = r;
        runThenAlways(body, [&] {
            candidate_ = previous;
            restoreState(saved);
        });
    }

    static bool keyMatches(TField* field, const TVariant& wanted, TLocateOptions options) {
        TVariant have = field->value();
        if (!have.hasValue() || !wanted.hasValue())
            return false;
        have = have.convertedTo(wanted.kind());
        if (wanted.kind() != vkString)
            return have == wanted;
        AnsiString a = have.asString(), b = wanted.asString();
        if (options.contains(loCaseInsensitive)) {
            a = ansiUpperCase(a);
            b = ansiUpperCase(b);
        }
        if (options.contains(loPartialKey))
            return !b.empty() && a.compare(0, b.size(), b) == 0;
        return a == b;
    }

    // The index of the first visible record whose key fields match, or -1.
    int findVisible(const AnsiString& fields, const TVariant& values, TLocateOptions options) {
        if (fields.empty() || !values.hasValue())
            return -1;
        std::vector<TField*> keys = getFieldList(fields);
        for (size_t i = 0; i < records_.size(); ++i) {
            if (!visible(static_cast<int>(i)))
                continue;
            bool match = true;
            withCandidate(records_[i].get(), [&] {
                // A single value is compared with the first key field only.
                const size_t compared = values.isArray() ? keys.size() : 1;
                for (size_t k = 0; k < compared && k < keys.size() && match; ++k) {
                    const TVariant& wanted =
                        values.isArray() ? values.element(static_cast<int>(k)) : values;
                    match = keyMatches(keys[k], wanted, options);
                }
            });
            if (match)
                return static_cast<int>(i);
        }
        return -1;
    }

    int ordinalOf(int index) const {
        int n = 0;
        for (int i = 0; i <= index; ++i)
            n += visible(i);
        return n;
    }

    const Record* liveRecord(int row) const {
        for (auto& r : records_)
            if (!r->deleted && row-- == 0)
                return r.get();
        return nullptr;
    }

    // The field's slot in the buffer the state selects, or none.
    uint8_t* slotOf(TField* field) {
        uint8_t* buffer = nullptr;
        switch (State()) {
        case stateCalcFields:
        case stateInternalCalc:
            buffer = calcBuffer();
            break;
        case stateFilter:
            if (field->FieldNo() <= 0 || !candidate_)
                return nullptr;
            buffer = candidate_->image.data();
            break;
        case stateInactive:
            return nullptr;
        case stateBrowse:
            if (hasNoRecords())
                return nullptr;
            buffer = activeBuffer();
            break;
        default:
            buffer = activeBuffer();
            break;
        }
        if (!buffer)
            return nullptr;
        if (field->FieldNo() <= 0)
            return buffer + imageSize_ + field->offset();
        return buffer + columns_[static_cast<size_t>(field->FieldNo() - 1)].offset;
    }

    size_t copySize(TField* field) const {
        size_t n = static_cast<size_t>(field->dataSize());
        if (field->FieldNo() > 0)
            n = std::min(
                n, static_cast<size_t>(columns_[static_cast<size_t>(field->FieldNo() - 1)].width));
        return n;
    }

    void failIfAsked() {
        if (failNextStore.empty())
            return;
        AnsiString message = failNextStore;
        failNextStore.clear();
        databaseError(message, this);
    }

    std::vector<Column> columns_;
    int imageSize_ = 0;
    std::vector<std::unique_ptr<Record>> records_;
    int pos_ = -1;
    bool open_ = false;
    Record* candidate_ = nullptr;
};

} // namespace cibrano::testkit

// TZerovCursor: fields a table file written before its table had them lacks, added to every
// record of the loaded store.

#include "engine/file/FieldDescriptions.h"
#include "engine/file/ZerovCursor.h"
#include "platform/DatabaseError.h"

#include <algorithm>
#include <cstring>
#include <memory>

namespace cibrano {

namespace {

// Writes a new field's first value into a record buffer of the new layout.
void writeInitialValue(uint8_t* buffer, const TZerovField& f, const AnsiString& text) {
    if (text.empty())
        return;
    uint8_t* slot = slotOf(buffer, f);
    if (f.storageKind == kindText) {
        auto* copy = new char[text.size() + 1];
        std::memcpy(copy, text.c_str(), text.size() + 1);
        setTextRef(slot, copy);
    } else if (f.storageKind == kindFixedText) {
        const size_t n = std::min(text.size(), static_cast<size_t>(f.declaredSize));
        std::memcpy(slot, text.data(), n);
    }
}

} // namespace

std::vector<AnsiString> TZerovCursor::addMissingFields(const std::vector<AddedField>& fields) {
    std::vector<const AddedField*> missing;
    for (const AddedField& a : fields)
        if (!findField(a.field.name) &&
            std::none_of(missing.begin(), missing.end(),
                         [&](const AddedField* m) { return m->field.name == a.field.name; }))
            missing.push_back(&a);
    if (missing.empty())
        return {};

    // Everything that can fail is settled before a record changes.
    std::vector<FieldDescription> descriptions;
    for (const AddedField* a : missing)
        descriptions.push_back(a->field);
    const AnsiString entries = buildDescriptionSection(descriptions);
    std::vector<std::unique_ptr<TZerovField>> added;
    int size = recordBufferSize_;
    size_t pos = 0;
    for (size_t k = 0; k < missing.size(); ++k) {
        const size_t separator = entries.find('\x12', pos);
        auto field = makeField(std::string_view(entries).substr(pos, separator - pos));
        if (!field || size + field->dataSize > kMaxRecordBufferSize)
            databaseError("A record cannot hold the field '" + missing[k]->field.name + "'");
        field->slotOffset = size;
        size += field->dataSize;
        added.push_back(std::move(field));
        pos = separator + 1;
    }

    const auto oldSize = static_cast<size_t>(recordBufferSize_);
    auto widened = [&](const uint8_t* old, bool pooled) {
        auto* buffer = new uint8_t[static_cast<size_t>(size)]();
        if (pooled) {
            // The pool keeps the old buffer and its texts: the record gets copies of its own.
            copyRecordValues(old, buffer);
        } else {
            // The values' memory now belongs to the new buffer.
            std::memcpy(buffer, old, oldSize);
            delete[] old;
        }
        for (size_t k = 0; k < added.size(); ++k)
            writeInitialValue(buffer, *added[k], missing[k]->initialText);
        return buffer;
    };
    for (RecordEntry* e : entries_) {
        if (e->data) {
            e->data = widened(e->data, e->pooled);
            e->pooled = false;
        }
        if (e->backup)
            e->backup = widened(e->backup, false);
    }

    recordBufferSize_ = size;
    // The section ends with its end mark; the new entries go before it.
    const size_t end = !descriptionSection_.empty() && descriptionSection_.back() == '\x14'
                           ? descriptionSection_.size() - 1
                           : descriptionSection_.size();
    descriptionSection_.insert(end, entries.substr(0, entries.size() - 1));
    declaredFieldCount_ += static_cast<int32_t>(added.size());
    std::vector<AnsiString> names;
    for (auto& field : added) {
        names.push_back(field->fieldName);
        fields_.push_back(field.get());
        ownedFields_.push_back(std::move(field));
    }
    valuesChanged();
    return names;
}

} // namespace cibrano

// Writing the table image of the record store.
//
// The body (notes and records) is built in runs of records, each record's length bytes filled
// in as its values go in; each run goes out enciphered with one cipher state carried through
// the whole body. The bytes are the same as enciphering the
// finished image in place, but the image can go straight into a file as well as into memory.

#include "engine/file/Crc16.h"
#include "engine/file/Sapphire.h"
#include "engine/file/ZerovCursor.h"
#include "engine/file/ZerovSession.h"
#include "platform/DatabaseError.h"
#include "platform/Format.h"
#include "platform/Guid.h"
#include "platform/Stream.h"

#include <algorithm>
#include <cstring>
#include <limits>

namespace cibrano {

namespace {

// The first byte of the notes block.
constexpr uint8_t kNotesMarker = 0x2A;

void appendBytes(std::vector<uint8_t>& out, const void* data, size_t count) {
    auto p = static_cast<const uint8_t*>(data);
    out.insert(out.end(), p, p + count);
}

// Whether a value of one of the fixed-size kinds 1-9 is not empty (only those are written).
bool hasNumberValue(const uint8_t* slot, uint8_t kind) {
    switch (kind) {
    case kindSmallint:
    case kindBoolean:
        return readSlot<int16_t>(slot) != 0;
    case kindFloat:
    case kindCurrency:
    case kindDateTime:
        return readSlot<double>(slot) != 0.0;
    default:
        return readSlot<int32_t>(slot) != 0;
    }
}

size_t fixedTextLength(const uint8_t* slot, const TZerovField& f) {
    return f.dataSize == 0 ? 0 : strnlen(reinterpret_cast<const char*>(slot), f.dataSize - 1u);
}

void storeInt32(uint8_t* at, uint32_t value) {
    at[0] = static_cast<uint8_t>(value);
    at[1] = static_cast<uint8_t>(value >> 8);
    at[2] = static_cast<uint8_t>(value >> 16);
    at[3] = static_cast<uint8_t>(value >> 24);
}

// Writes record blocks: a length byte per field, then each non-empty value. A block is at most
// a length byte per field, each fixed-size value whole and each text or BLOB with its four
// length bytes; the room for that is made once per record and the block written into it.
class RecordBlockWriter {
public:
    explicit RecordBlockWriter(const ZerovFieldList& fields) : fields_(fields) {
        fixedBound_ = fields.size();
        for (const TZerovField* f : fields)
            fixedBound_ += isTextRefKind(f->storageKind) || isBlobKind(f->storageKind)
                               ? 4
                               : static_cast<size_t>(f->dataSize);
        lengths_.resize(fields.size());
    }

    void append(std::vector<uint8_t>& out, const uint8_t* data) {
        // The length of each text and BLOB, which the room must also hold.
        size_t bound = fixedBound_;
        for (size_t k = 0; k < fields_.size(); ++k) {
            const TZerovField& f = *fields_[k];
            const uint8_t* slot = slotOf(data, f);
            if (isTextRefKind(f.storageKind)) {
                const char* text = textRefAt(slot);
                lengths_[k] = text ? std::strlen(text) : 0;
                bound += lengths_[k];
            } else if (isBlobKind(f.storageKind)) {
                const int32_t length = blobLengthAt(slot);
                lengths_[k] = blobRefAt(slot) && length > 0 ? static_cast<size_t>(length) : 0;
                bound += lengths_[k];
            }
        }
        const size_t start = out.size();
        out.resize(start + bound); // the length bytes come cleared
        uint8_t* const lengthBytes = out.data() + start;
        uint8_t* at = lengthBytes + fields_.size();
        for (size_t k = 0; k < fields_.size(); ++k) {
            const TZerovField& f = *fields_[k];
            const uint8_t* slot = slotOf(data, f);
            switch (f.storageKind) {
            case kindText:
            case kindBlob:
            case kindMemo:
            case kindFmtMemo:
            case kindGraphic:
                if (const size_t length = lengths_[k]; length > 0) {
                    lengthBytes[k] = 4;
                    storeInt32(at, static_cast<uint32_t>(length));
                    const void* value = f.storageKind == kindText
                                            ? static_cast<const void*>(textRefAt(slot))
                                            : static_cast<const void*>(blobRefAt(slot));
                    std::memcpy(at + 4, value, length);
                    at += 4 + length;
                }
                break;
            case kindFixedText:
                if (const size_t length = fixedTextLength(slot, f); length > 0) {
                    lengthBytes[k] = static_cast<uint8_t>(length);
                    std::memcpy(at, slot, length);
                    at += length;
                }
                break;
            case kindUnknown:
                break;
            default:
                if (hasNumberValue(slot, f.storageKind)) {
                    lengthBytes[k] = static_cast<uint8_t>(f.dataSize);
                    std::memcpy(at, slot, f.dataSize);
                    at += f.dataSize;
                }
                break;
            }
        }
        out.resize(static_cast<size_t>(at - out.data()));
    }

private:
    const ZerovFieldList& fields_;
    // The room every block needs whatever its texts and BLOBs.
    size_t fixedBound_ = 0;
    // The length of each text and BLOB value of the record being written.
    std::vector<size_t> lengths_;
};

// A reader tells the notes block from the first record by its first byte alone, so a first
// record whose first length byte is the marker would be read as notes and the table would no
// longer open. Only a fixed-length text can have that length byte: one of 42 characters, in a
// field whose length letter lies beyond 'Z' (tables from other writers). Such a table is
// written with an empty notes block in front of its records, which every reader of the format
// takes as "no notes" before it reads the records as they are.
bool firstRecordLooksLikeNotes(const std::vector<RecordEntry*>& entries,
                               const ZerovFieldList& fields) {
    if (fields.empty() || fields[0]->storageKind != kindFixedText)
        return false;
    for (const RecordEntry* e : entries) {
        if (!e->isLive() || !e->data)
            continue;
        return fixedTextLength(slotOf(e->data, *fields[0]), *fields[0]) == kNotesMarker;
    }
    return false;
}

} // namespace

// Refuses, before anything is written, a store whose image the reader would not take back;
// answers how long the image can be at most.
size_t TZerovCursor::checkWritable() const {
    if (notes_.size() > kMaxNotesLength)
        databaseError(formatText("The table notes are too long (%d bytes, at most %d)",
                                 static_cast<int>(std::min<size_t>(notes_.size(), INT32_MAX)),
                                 static_cast<int>(kMaxNotesLength)));
    // Header, password block, descriptions, notes block.
    size_t bound = 57 + descriptionSection_.size() + 3 + notes_.size();
    int recordNumber = 0;
    for (const RecordEntry* e : entries_) {
        if (!e->isLive() || !e->data)
            continue;
        ++recordNumber;
        if (fields_.empty())
            databaseError("A table without fields cannot hold records");
        bound += fields_.size();
        for (const TZerovField* f : fields_) {
            const uint8_t* slot = slotOf(e->data, *f);
            if (!isTextRefKind(f->storageKind) && !isBlobKind(f->storageKind)) {
                bound += f->dataSize;
            } else if (isTextRefKind(f->storageKind)) {
                const char* text = textRefAt(slot);
                size_t length = text ? std::strlen(text) : 0;
                bound += 4 + length;
                if (length > static_cast<size_t>(kMaxTextLength))
                    databaseError(formatText(
                        "The text of field '%s' in record %d is too long (%d characters, at "
                        "most %d)",
                        f->fieldName, recordNumber,
                        static_cast<int>(std::min<size_t>(length, INT32_MAX)), kMaxTextLength));
            } else {
                int32_t length = blobLengthAt(slot);
                bound += 4 + static_cast<size_t>(std::max(length, 0));
                if (blobRefAt(slot) && (length < 0 || length > kMaxBlobLength))
                    databaseError(formatText(
                        "The value of field '%s' in record %d is too long (%d bytes, at most %d)",
                        f->fieldName, recordNumber, length, kMaxBlobLength));
            }
        }
    }
    return bound;
}

size_t TZerovCursor::writeTableImage(TStream& stream) {
    checkWritable();
    return writeImage(stream);
}

size_t TZerovCursor::writeImage(TStream& stream) {
    const bool encipher = !password_.empty();
    enciphered_ = encipher;
    const size_t start = stream.position();
    stream.writeInt32(0); // total length, filled in at the end
    stream.writeUInt8(encipher ? kEncipheredImage : kPlainImage);

    AnsiString bodyKey;
    if (encipher) {
        // A new body key for every write; the block keeps it under the table password.
        bodyKey = newGuidText();
        std::memcpy(passwordBlock_, bodyKey.data(), 38);
        uint16_t crc = crc16(passwordBlock_, 38);
        passwordBlock_[38] = static_cast<uint8_t>(crc & 0xFF);
        passwordBlock_[39] = static_cast<uint8_t>(crc >> 8);
        uint8_t block[kPasswordBlockSize];
        std::memcpy(block, passwordBlock_, sizeof block);
        TSapphire& cipher = session().cipher();
        cipher.setKey(password_);
        cipher.encipher(block, 38);
        stream.writeBuffer(block, sizeof block);
    }

    stream.writeInt32(0); // record count, filled in at the end
    stream.writeInt32(fieldCount());
    stream.writeInt32(static_cast<int32_t>(descriptionSection_.size()));
    stream.writeBuffer(descriptionSection_.data(), descriptionSection_.size());

    TSapphire bodyCipher;
    if (encipher)
        bodyCipher.setKey(bodyKey);
    // The body is gathered and goes out (enciphered) in runs of about kRunSize bytes: each
    // call of the cipher and of the stream has a cost of its own that a record's few bytes
    // would pay again and again.
    constexpr size_t kRunSize = size_t{64} << 10;
    std::vector<uint8_t> run;
    run.reserve(kRunSize + 1024);
    auto flush = [&] {
        if (run.empty())
            return;
        if (encipher)
            bodyCipher.encipher(run.data(), run.size());
        stream.writeBuffer(run.data(), run.size());
        run.clear();
    };

    // Readers keep the notes up to their first NUL; nothing after it is written.
    const std::string_view notes(notes_.data(), strnlen(notes_.data(), notes_.size()));
    if (!notes.empty() || firstRecordLooksLikeNotes(entries_, fields_)) {
        run.push_back(kNotesMarker);
        auto length = static_cast<uint16_t>(notes.size());
        run.push_back(static_cast<uint8_t>(length));
        run.push_back(static_cast<uint8_t>(length >> 8));
        appendBytes(run, notes.data(), notes.size());
    }

    RecordBlockWriter blocks(fields_);
    int32_t written = 0;
    int lastPercent = 0;
    const int64_t total = static_cast<int64_t>(entries_.size());
    for (size_t index = 0; index < entries_.size(); ++index) {
        const RecordEntry* e = entries_[index];
        if (!e->isLive() || !e->data)
            continue;
        blocks.append(run, e->data);
        if (run.size() >= kRunSize)
            flush();
        ++written;
        reportProgress(static_cast<int64_t>(index) + 1, total, lastPercent);
    }
    flush();

    const size_t end = stream.position();
    if (end - start > static_cast<size_t>(std::numeric_limits<int32_t>::max()))
        databaseError("The table is too large for a table file");
    stream.setPosition(start + (encipher ? 45 : 5));
    stream.writeInt32(written);
    stream.setPosition(start);
    stream.writeInt32(static_cast<int32_t>(end - start));
    stream.setPosition(end);
    return end - start;
}

} // namespace cibrano

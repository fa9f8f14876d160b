// Reading a table image into the record store.
//
// The image is read straight from the memory stream's bytes, or from a table file's bytes as
// they are read (ImageReader.h). The records go into the store's pool. Nothing the image declares
// (a record count, a section length, a text or BLOB length) is believed before the bytes are there:
// every length is checked against what remains before anything is allocated, so a damaged or
// hostile image can only make the reader fail, never read out of bounds or allocate more than the
// image itself justifies.

#include "engine/file/FieldDescriptions.h"
#include "engine/file/FileConst.h"
#include "engine/file/ImageReader.h"
#include "engine/file/ZerovCursor.h"
#include "engine/file/ZerovSession.h"
#include "platform/Format.h"
#include "platform/Stream.h"

#include <algorithm>
#include <cstring>
#include <limits>

namespace cibrano {

namespace {

// Slot sizes of the fixed-size kinds 1-9, by kind.
constexpr uint16_t kFixedSlotSize[] = {0, 2, 4, 2, 8, 8, 4, 4, 8, 4};

bool parseDeclaredSize(std::string_view digits, int16_t& size) {
    if (digits.empty()) {
        size = 100;
        return true;
    }
    int value = 0;
    for (char c : digits) {
        if (c < '0' || c > '9')
            return false;
        value = value * 10 + (c - '0');
        if (value > std::numeric_limits<int16_t>::max())
            return false;
    }
    size = static_cast<int16_t>(value);
    return true;
}

} // namespace

// Raises CorruptImage for a size after s that is not a number.
std::unique_ptr<TZerovField> makeField(std::string_view entry) {
    auto f = std::make_unique<TZerovField>();
    size_t dot = entry.find('.');
    size_t nameStart = 0;
    if (dot != std::string_view::npos) {
        f->tableAlias = AnsiString(entry.substr(0, dot));
        nameStart = dot + 1;
    }
    size_t blank = entry.find(' ', nameStart);
    if (blank == std::string_view::npos || blank + 1 >= entry.size())
        return nullptr;
    f->fieldName = AnsiString(entry.substr(nameStart, blank - nameStart));
    const auto letter = static_cast<unsigned char>(entry[blank + 1]);
    std::string_view rest = entry.substr(blank + 2);

    uint8_t kind;
    switch (letter) {
    case 'l':
        kind = kindSmallint;
        break;
    case 'i':
        kind = kindInteger;
        break;
    case 'b':
        kind = kindBoolean;
        break;
    case 'f':
        kind = kindFloat;
        break;
    case 'c':
        kind = kindCurrency;
        break;
    case 'd':
        kind = kindDate;
        break;
    case 'v':
        kind = kindTime;
        break;
    case 't':
        kind = kindDateTime;
        break;
    case 'a':
        kind = kindAutoInc;
        break;
    case 's':
        kind = kindText;
        break;
    case 'o':
        kind = kindBlob;
        break;
    case 'm':
        kind = kindMemo;
        break;
    case 'r':
        kind = kindFmtMemo;
        break;
    case 'g':
        kind = kindGraphic;
        break;
    default:
        kind = kindFixedText;
        break;
    }
    f->storageKind = kind;
    f->isNumeric = (kind == kindAutoInc || kind == kindCurrency || kind == kindFloat ||
                    kind == kindInteger || kind == kindSmallint)
                       ? 1
                       : 0;
    if (kind <= kindAutoInc) {
        f->dataSize = kFixedSlotSize[kind];
    } else if (kind == kindFixedText) {
        // The length in base 36; characters outside 0-9, A-Z follow the same arithmetic. One
        // below '0' would make a negative length: the entry names no type.
        if (letter < '0')
            return nullptr;
        int length = letter <= '9' ? letter - 48 : letter - 55;
        f->declaredSize = static_cast<int16_t>(length);
        f->dataSize = static_cast<uint16_t>(length + 1);
    } else if (kind == kindText) {
        if (!parseDeclaredSize(rest, f->declaredSize))
            throw CorruptImage{};
        f->dataSize = kTextSlotSize;
    } else {
        f->dataSize = kBlobSlotSize;
    }
    return f;
}

bool TZerovCursor::readTableImage(TMemoryStream& stream, AnsiString& message) {
    ImageReader in;
    in.base = stream.memory();
    in.pos = stream.position();
    in.end = stream.size();
    const bool ok = readImage(in, message);
    if (in.consumed)
        stream.setPosition(in.pos);
    return ok;
}

bool TZerovCursor::readImage(ImageReader& in, AnsiString& message) {
    message.clear();
    clearStore(true);
    notes_.clear();
    try {
        bool blockOpened = false;
        int32_t declaredRecords = 0;
        try {
            in.i32(); // the total length: not needed, the stream has the bytes
            const uint8_t kind = in.u8();
            if (kind == kErrorImage) {
                const size_t length = in.remaining();
                in.need(length);
                message.assign(reinterpret_cast<const char*>(in.at()), length);
                in.pos += length;
                in.consumed = true;
                return false;
            }
            // The mark follows the image just met, so a table that was once enciphered and
            // comes back plain is not taken for enciphered.
            enciphered_ = kind == kEncipheredImage;
            if (kind != kEncipheredImage && kind != kPlainImage)
                throw CorruptImage{};
            if (enciphered_) {
                in.need(kPasswordBlockSize);
                std::memcpy(passwordBlock_, in.at(), kPasswordBlockSize);
                in.pos += kPasswordBlockSize;
                if (!session().checkTablePassword(passwordBlock_, password_)) {
                    message = msg::InvalidPassword;
                    clearStore(true);
                    return false;
                }
                blockOpened = true;
            }
            declaredRecords = in.i32();
            const int32_t n = in.i32();
            const int32_t d = in.i32();
            if (n < 0 || d < 0)
                throw CorruptImage{};
            declaredFieldCount_ = n;
            in.need(static_cast<size_t>(d));
            descriptionSection_.assign(reinterpret_cast<const char*>(in.at()),
                                       static_cast<size_t>(d));
            in.pos += static_cast<size_t>(d);
            if (!parseFieldDescriptions(message)) {
                clearStore(true);
                return false;
            }
        } catch (const CorruptImage&) {
            message = msg::BufferCorruption;
            if (!partialOpen_) {
                clearStore(true);
                return false;
            }
        }

        // The body: deciphered in place with the GUID text of the opened password block.
        if (enciphered_ && blockOpened && in.remaining() > 0) {
            const std::string_view key(reinterpret_cast<const char*>(passwordBlock_), 38);
            if (in.file) {
                in.file->startDeciphering(key, in.at(), in.inWindow());
            } else {
                TSapphire& cipher = session().cipher();
                cipher.setKey(key);
                cipher.decipher(in.at(), in.remaining());
            }
        }

        // Notes. The marker is looked for whenever a byte remains (not only when a whole
        // record's length bytes remain), so that the notes of a table without records are not
        // lost. A first record can start with the marker byte only when its first field is a
        // fixed text of 42 characters (a length letter beyond 'Z'); this engine's writer puts an
        // empty notes block in front of such a record, so its tables always read back.
        if (in.remaining() >= 1) {
            if (in.u8() == '*') {
                if (in.remaining() < 2) {
                    message = msg::BufferCorruption;
                } else {
                    int16_t length = in.i16();
                    if (length < 0 || static_cast<size_t>(length) > in.remaining()) {
                        message = msg::BufferCorruption;
                    } else {
                        in.need(static_cast<size_t>(length));
                        const char* text = reinterpret_cast<const char*>(in.at());
                        notes_.assign(text, strnlen(text, static_cast<size_t>(length)));
                        in.pos += static_cast<size_t>(length);
                    }
                }
                if (!message.empty() && !partialOpen_) {
                    clearStore(true);
                    notes_.clear();
                    return false;
                }
            } else {
                --in.pos;
            }
        }

        // Records.
        const size_t lengthBytes = static_cast<size_t>(std::max(declaredFieldCount_, 0));
        if (lengthBytes > 0 && declaredRecords > 0)
            entries_.reserve(static_cast<size_t>(
                std::min<int64_t>(declaredRecords, in.remaining() / lengthBytes)));
        int lastPercent = 0;
        while (in.remaining() >= lengthBytes &&
               static_cast<int64_t>(entries_.size()) < declaredRecords && readRecord(in, message))
            reportProgress(static_cast<int64_t>(entries_.size()), declaredRecords, lastPercent);

        if (message.empty() && static_cast<int64_t>(entries_.size()) != declaredRecords)
            message = formatText(msg::RecordCountMismatch, static_cast<int>(entries_.size()),
                                 declaredRecords);
        in.consumed = true;

        if (message.empty() || partialOpen_) {
            // A partly read table gets its counter too: new records must not repeat numbers.
            establishAutoIncCounter();
            return true;
        }
        clearStore(true);
        notes_.clear();
        return false;
    } catch (...) {
        // A hook that raised: the store is left empty, not half filled.
        clearStore(true);
        notes_.clear();
        throw;
    }
}

bool TZerovCursor::parseFieldDescriptions(AnsiString& message) {
    const AnsiString& section = descriptionSection_;
    size_t pos = 0;
    for (int32_t k = 0; k < declaredFieldCount_; ++k) {
        if (pos >= section.size())
            break;
        size_t separator = section.find('\x12', pos);
        // A missing separator or an empty entry would fail the same way for every remaining
        // entry, so reading stops at the first.
        if (separator == AnsiString::npos || separator == pos) {
            message = msg::FieldSectionError;
            return false;
        }
        auto field = makeField(std::string_view(section).substr(pos, separator - pos));
        if (!field || recordBufferSize_ + field->dataSize > kMaxRecordBufferSize) {
            message = msg::FieldSectionError;
            return false;
        }
        field->slotOffset = recordBufferSize_;
        recordBufferSize_ += field->dataSize;
        if (!autoIncField_ && field->storageKind == kindAutoInc)
            autoIncField_ = field.get();
        fields_.push_back(field.get());
        ownedFields_.push_back(std::move(field));
        pos = separator + 1;
    }
    return true;
}

bool TZerovCursor::readRecord(ImageReader& in, AnsiString& message) {
    message = msg::UnexpectedEnd;
    const size_t lengthBytes = static_cast<size_t>(std::max(declaredFieldCount_, 0));
    if (in.remaining() < lengthBytes)
        return false;
    // Only the known fields' lengths are looked at; the window may move while the values are
    // read, so they are kept aside.
    const size_t fieldsInRecord = std::min(fields_.size(), lengthBytes);
    in.need(lengthBytes);
    recordLengths_.assign(in.at(), in.at() + fieldsInRecord);
    in.pos += lengthBytes;

    RecordEntry* entry = newEntry();
    uint8_t* data = pool_.allocate(static_cast<size_t>(recordBufferSize_));
    const int recordNumber = static_cast<int>(entries_.size()) + 1;
    size_t completed = 0;
    for (; completed < fieldsInRecord; ++completed) {
        const TZerovField& f = *fields_[completed];
        const int n = recordLengths_[completed];
        const bool referenced = isTextRefKind(f.storageKind) || isBlobKind(f.storageKind);
        if (referenced ? (n != 0 && n != 4) : n > f.dataSize) {
            message = formatText(msg::FieldWrongLength, f.fieldName, n, recordNumber);
            break;
        }
        if (n == 0)
            continue;
        uint8_t* slot = slotOf(data, f);
        if (referenced) {
            if (in.remaining() < 4)
                break;
            const int32_t length = in.i32();
            const bool text = isTextRefKind(f.storageKind);
            if (length < 0 || length > (text ? kMaxTextLength : kMaxBlobLength)) {
                message = formatText(text ? msg::StringFieldWrongLength : msg::BlobFieldWrongLength,
                                     f.fieldName, length, recordNumber);
                break;
            }
            const auto size = static_cast<size_t>(length);
            if (in.remaining() < size)
                break;
            in.need(size);
            if (text) {
                char* copy = pool_.allocateText(size + 1);
                std::memcpy(copy, in.at(), size);
                copy[size] = 0;
                setTextRef(slot, copy);
            } else if (length > 0) {
                uint8_t* copy = pool_.allocate(size);
                std::memcpy(copy, in.at(), size);
                setBlobRef(slot, copy, length);
            }
            in.pos += size;
        } else {
            if (in.remaining() < static_cast<size_t>(n))
                break;
            in.need(static_cast<size_t>(n));
            // Fixed-size copies for the number widths: a variable-length memcpy costs more
            // than the copy itself for these, and they are most of a food table's values.
            switch (n) {
            case 8:
                std::memcpy(slot, in.at(), 8);
                break;
            case 4:
                std::memcpy(slot, in.at(), 4);
                break;
            case 2:
                std::memcpy(slot, in.at(), 2);
                break;
            default:
                std::memcpy(slot, in.at(), static_cast<size_t>(n));
                break;
            }
            in.pos += static_cast<size_t>(n);
            // A text filling its whole slot keeps its terminator.
            if (f.storageKind == kindFixedText)
                slot[f.dataSize - 1] = 0;
        }
    }

    // A record of which nothing could be read is not kept (its pooled bytes stay unused).
    if (completed == 0)
        return false;
    entry->data = data;
    entry->pooled = true;
    entry->status = recUnchanged;
    entries_.push_back(entry);
    listChanged();
    // A record whose reading stopped after its first field is kept with what was read, but
    // the table is damaged: the message stays and reading ends here, so the open fails
    // unless PartialOpen asks for what can be read (and then shows the message). Clearing
    // it would report a cut or garbled file as intact, and the next save would make the
    // loss permanent without anyone having been told.
    if (completed < fieldsInRecord)
        return false;
    message.clear();
    return true;
}

} // namespace cibrano

// The fuzz environment, the failure handler and the table image target.

#include "fuzz/FuzzTargets.h"

#include "engine/file/Crc16.h"
#include "engine/file/Sapphire.h"
#include "engine/file/ZerovCursor.h"
#include "engine/record/FieldValues.h"
#include "platform/Clock.h"
#include "platform/DatabaseError.h"
#include "platform/DateTime.h"
#include "platform/RegionalSettings.h"
#include "platform/Stream.h"
#include "platform/UiServices.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string_view>

namespace cibrano::fuzz {

namespace {

// Every prompt cancelled, every box swallowed: nothing reaches a terminal.
class SilentUi : public UiServices {
public:
    void showWarning(const AnsiString&, const AnsiString&) override {}
    bool askPassword(AnsiString&) override { return false; }
    void showError(const AnsiString&, const AnsiString&) override {}
};

std::function<void(const std::string&)>& failureHandler() {
    static std::function<void(const std::string&)> handler;
    return handler;
}

constexpr const char* kPassword = "QUARZOFELCEBRUM";
// The body key of the images this target enciphers itself.
constexpr const char* kBodyKey = "{5E1C0F3A-2B7D-4C9E-8A61-0D4F3B2A1C9E}";

int32_t int32At(std::string_view bytes, size_t offset) {
    uint32_t v = 0;
    for (int k = 3; k >= 0; --k)
        v = (v << 8) | static_cast<uint8_t>(bytes[offset + static_cast<size_t>(k)]);
    return static_cast<int32_t>(v);
}

// The plain image enciphered under kPassword with kBodyKey, as the writer lays it out: kind 'P',
// the 40-byte password block after it, the body after the description section enciphered. An
// input too short to hold a header is left as it is.
std::string encipherImage(std::string_view plain) {
    if (plain.size() < 17 || plain[4] != 'S')
        return std::string(plain);
    const int32_t sectionLength = int32At(plain, 13);
    size_t bodyStart = plain.size();
    if (sectionLength >= 0 && static_cast<size_t>(sectionLength) <= plain.size() - 17)
        bodyStart = 17 + static_cast<size_t>(sectionLength);

    uint8_t block[TZerovCursor::kPasswordBlockSize];
    std::memcpy(block, kBodyKey, 38);
    const uint16_t crc = crc16(block, 38);
    block[38] = static_cast<uint8_t>(crc & 0xFF);
    block[39] = static_cast<uint8_t>(crc >> 8);
    TSapphire cipher;
    cipher.setKey(kPassword);
    cipher.encipher(block, 38);

    std::string image(plain.substr(0, 4));
    image += 'P';
    image.append(reinterpret_cast<const char*>(block), sizeof block);
    image.append(plain.substr(5, bodyStart - 5));
    std::string body(plain.substr(bodyStart));
    TSapphire bodyCipher;
    bodyCipher.setKey(kBodyKey);
    bodyCipher.encipher(reinterpret_cast<uint8_t*>(body.data()), body.size());
    return image + body;
}

// A field's value as the engine sees it, in a form that compares equal exactly when the values
// are the same: a text's bytes, a number's bits (zero, the empty value, whatever its sign).
std::string valueKey(const uint8_t* slot, const TZerovField& f) {
    switch (f.storageKind) {
    case kindText: {
        const char* t = textRefAt(slot);
        return t ? t : "";
    }
    case kindBlob:
    case kindMemo:
    case kindFmtMemo:
    case kindGraphic: {
        const uint8_t* p = blobRefAt(slot);
        const int32_t n = blobLengthAt(slot);
        return p && n > 0 ? std::string(reinterpret_cast<const char*>(p), static_cast<size_t>(n))
                          : std::string();
    }
    case kindFixedText: {
        const auto* t = reinterpret_cast<const char*>(slot);
        return std::string(t, strnlen(t, f.dataSize));
    }
    case kindFloat:
    case kindCurrency:
    case kindDateTime:
        if (readSlot<double>(slot) == 0.0)
            return std::string(8, '\0');
        [[fallthrough]];
    default:
        return std::string(reinterpret_cast<const char*>(slot), f.dataSize);
    }
}

// Every field of a record as its display text and its value.
std::string recordKey(const TZerovCursor& store, const RecordEntry& e) {
    std::string key;
    for (const TZerovField* f : store.fields()) {
        const std::string value = valueKey(slotOf(e.data, *f), *f);
        const AnsiString text = fieldValueAsText(*f, e);
        key +=
            std::to_string(text.size()) + ":" + text + std::to_string(value.size()) + ":" + value;
    }
    return key;
}

// Every live record's fields, read as text and as values (a number's value, a text's bytes).
size_t walkRecords(const TZerovCursor& store) {
    size_t seen = 0;
    for (const RecordEntry* e : store.entries()) {
        if (!e->isLive())
            continue;
        for (const TZerovField* f : store.fields()) {
            const AnsiString text = fieldValueAsText(*f, *e);
            seen += text.size();
            const uint8_t* slot = slotOf(e->data, *f);
            switch (f->storageKind) {
            case kindSmallint:
            case kindBoolean:
                seen += static_cast<size_t>(readSlot<int16_t>(slot) & 1);
                break;
            case kindFloat:
            case kindCurrency:
            case kindDateTime:
                seen += std::isnan(readSlot<double>(slot)) ? 1 : 0;
                break;
            case kindText: {
                const char* t = textRefAt(slot);
                seen += t ? std::strlen(t) : 0;
                break;
            }
            case kindFixedText:
                seen += strnlen(reinterpret_cast<const char*>(slot), f->dataSize);
                break;
            default:
                if (isBlobKind(f->storageKind))
                    seen += static_cast<size_t>(blobLengthAt(slot) > 0 ? blobLengthAt(slot) : 0);
                else if (f->dataSize == 4)
                    seen += static_cast<size_t>(readSlot<int32_t>(slot) & 1);
                break;
            }
        }
    }
    return seen;
}

// The keys of the live records, in list order; sorted when the table has an automatic-number
// field, since reading orders the records by it and records with equal numbers may change
// places (the sort is not stable).
std::vector<std::string> recordKeys(const TZerovCursor& store) {
    std::vector<std::string> keys;
    for (const RecordEntry* e : store.entries())
        if (e->isLive() && e->data)
            keys.push_back(recordKey(store, *e));
    if (store.autoIncField())
        std::sort(keys.begin(), keys.end());
    return keys;
}

// The saved image, read back without PartialOpen, must give the same fields, notes, records
// and values.
void checkReadsBackEqual(TZerovCursor& store) {
    TMemoryStream saved;
    try {
        store.writeTableImage(saved);
    } catch (const EDatabaseError& e) {
        fuzzFailure("a table that was read cannot be saved: " + e.message());
        return;
    }
    TZerovCursor back;
    back.setPassword(kPassword);
    saved.setPosition(0);
    AnsiString message;
    if (!back.readTableImage(saved, message) || !message.empty()) {
        fuzzFailure("the saved image does not read back: " + message);
        return;
    }
    if (back.fieldCount() != store.fieldCount() || back.notes() != store.notes()) {
        fuzzFailure("the saved image reads back with other fields or notes");
        return;
    }
    for (int k = 0; k < store.fieldCount(); ++k) {
        const TZerovField& a = *store.fieldAt(k);
        const TZerovField& b = *back.fieldAt(k);
        if (a.fieldName != b.fieldName || a.storageKind != b.storageKind ||
            a.dataSize != b.dataSize || a.declaredSize != b.declaredSize) {
            fuzzFailure("field " + std::to_string(k) + " reads back differently");
            return;
        }
    }
    const auto before = recordKeys(store);
    const auto after = recordKeys(back);
    if (before.size() != after.size()) {
        fuzzFailure("the saved image reads back with " + std::to_string(after.size()) +
                    " records instead of " + std::to_string(before.size()));
        return;
    }
    for (size_t r = 0; r < before.size(); ++r)
        if (before[r] != after[r]) {
            fuzzFailure("record " + std::to_string(r + 1) + " reads back differently");
            return;
        }
}

} // namespace

void prepareFuzzEnvironment() {
    static bool prepared = false;
    if (prepared)
        return;
    prepared = true;
    RegionalSettings r;
    r.decimalSeparator = '.';
    r.thousandSeparator = ',';
    r.dateSeparator = '/';
    r.timeSeparator = ':';
    r.shortDateFormat = "dd/mm/yyyy";
    r.longTimeFormat = "hh:nn:ss";
    setRegional(r);
    TDateTime fixedNow = 0;
    tryEncodeDate(2026, 6, 15, fixedNow);
    setClockForTesting([fixedNow] { return fixedNow + 0.5; });
    static SilentUi ui;
    setUiServices(&ui);
}

void setFuzzFailureHandler(std::function<void(const std::string& what)> handler) {
    failureHandler() = std::move(handler);
}

void fuzzFailure(const std::string& what) {
    if (failureHandler()) {
        failureHandler()(what);
        return;
    }
    std::fprintf(stderr, "fuzz check failed: %s\n", what.c_str());
    std::abort();
}

int fuzzTableImage(const uint8_t* data, size_t size) {
    prepareFuzzEnvironment();
    if (size < 1)
        return 0;
    const uint8_t mode = data[0];
    std::string_view rest(reinterpret_cast<const char*>(data + 1), size - 1);
    const std::string image = (mode & 2) ? encipherImage(rest) : std::string(rest);

    TZerovCursor store;
    store.setPassword(kPassword);
    store.setPartialOpen((mode & 1) != 0);
    TMemoryStream stream(image);
    AnsiString message;
    if (!store.readTableImage(stream, message))
        return 0;
    if (!store.PartialOpen() && !message.empty())
        fuzzFailure("a table opened without PartialOpen with the message: " + message);
    walkRecords(store);
    checkReadsBackEqual(store);
    return 0;
}

} // namespace cibrano::fuzz

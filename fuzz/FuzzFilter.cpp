// The filter text and wildcard mask targets.

#include "fuzz/FuzzTargets.h"

#include "engine/file/FieldDescriptions.h"
#include "engine/file/ZerovCursor.h"
#include "engine/query/ZerovFilter.h"
#include "engine/query/ZerovMask.h"
#include "engine/record/FieldValues.h"
#include "platform/AnsiCase.h"
#include "platform/DatabaseError.h"
#include "platform/Stream.h"

#include <memory>
#include <string_view>
#include <vector>

namespace cibrano::fuzz {

namespace {

// A new table of the given fields, with one record per row of texts (converted by the value
// functions, as an import does).
std::unique_ptr<TZerovCursor> makeTable(const std::vector<FieldDescription>& fields,
                                        const std::vector<std::vector<const char*>>& rows) {
    auto store = std::make_unique<TZerovCursor>();
    TMemoryStream image;
    writeNewTableImage(image, fields);
    image.setPosition(0);
    AnsiString message;
    if (!store->readTableImage(image, message))
        fuzzFailure("the fuzz table does not open: " + message);
    for (const auto& row : rows) {
        std::unique_ptr<uint8_t[]> buffer(store->newRecordBuffer());
        for (size_t k = 0; k < row.size() && k < fields.size(); ++k) {
            const TZerovField& f = *store->fieldAt(static_cast<int>(k));
            fieldValueFromText(slotOf(buffer.get(), f), row[k], f);
        }
        if (!store->putRecord(buffer.get(), nullptr, message))
            fuzzFailure("the fuzz table takes no record: " + message);
        store->freeRecordValues(buffer.get());
    }
    store->commitAllChanges();
    return store;
}

// A field of every kind, records with typical, extreme and empty values.
const TZerovCursor& everyKindTable() {
    static const std::unique_ptr<TZerovCursor> table =
        makeTable({{"Codice", ftString, 8},
                   {"Nome", ftString, 60},
                   {"Piccolo", ftSmallint, 0},
                   {"Intero", ftInteger, 0},
                   {"Parola", ftWord, 0},
                   {"Vero", ftBoolean, 0},
                   {"Reale", ftFloat, 0},
                   {"Valuta", ftCurrency, 0},
                   {"Giorno", ftDate, 0},
                   {"Ora", ftTime, 0},
                   {"Momento", ftDateTime, 0},
                   {"Numero", ftAutoInc, 0},
                   {"Dati", ftBlob, 0},
                   {"Nota", ftMemo, 0},
                   {"Formato", ftFmtMemo, 0},
                   {"Immagine", ftGraphic, 0}},
                  {{"A1", "Pasta di semola", "12", "-5", "7", "True", "79.1", "3.25", "15/06/2026",
                    "12:30:00", "15/06/2026 08:00:00", "", "xyz", "nota", "{\\rtf}", "GIF"},
                   {"zz", "olio d'oliva", "-32768", "2147483647", "0", "False", "-1e300", "0",
                    "01/01/0001", "23:59:59", "31/12/9999 23:59:59", "", "", "", "", ""},
                   {"\xC0\xE9", "\xC0GLIO \xE8 %_", "32767", "-2147483648", "1", "", "0.000001",
                    "-99.99", "29/02/2024", "00:00:00", "", "", "", "NOTA LUNGA", "", ""},
                   {}});
    return *table;
}

std::vector<TZerovField> fieldsOf(const TZerovCursor& store) {
    std::vector<TZerovField> fields;
    for (const TZerovField* f : store.fields())
        fields.push_back(*f);
    return fields;
}

// The mask as compiled and matched in the plainest way: the items of the pattern, then every
// text position each item can be reached at.
struct PlainMask {
    struct Item {
        bool starBefore;
        int kind; // 0 literal, 1 any one character, 2 end
        unsigned char ch;
    };
    std::vector<Item> items;
    int stars = 0;

    explicit PlainMask(std::string_view pattern) {
        bool pending = false;
        auto add = [&](int kind, unsigned char ch) {
            stars += pending ? 1 : 0;
            items.push_back({pending, kind, ch});
            pending = false;
        };
        for (char c : pattern) {
            if (c == '%' || c == '*')
                pending = true;
            else if (c == '_' || c == '?') {
                if (!pending)
                    add(1, 0);
            } else {
                add(0, ansiUpperChar(static_cast<unsigned char>(c)));
            }
        }
        add(2, 0);
    }

    bool matches(std::string_view text) const {
        const size_t n = text.size();
        std::vector<char> reach(n + 1, 0);
        reach[0] = 1;
        for (const Item& item : items) {
            if (item.starBefore)
                for (size_t k = 1; k <= n; ++k)
                    reach[k] = reach[k] || reach[k - 1];
            if (item.kind == 2)
                return reach[n] != 0;
            std::vector<char> next(n + 1, 0);
            for (size_t k = 0; k < n; ++k)
                next[k + 1] =
                    reach[k] && (item.kind == 1 ||
                                 ansiUpperChar(static_cast<unsigned char>(text[k])) == item.ch);
            reach.swap(next);
        }
        return false;
    }
};

std::string quoted(std::string_view text) {
    std::string out = "'";
    for (char c : text) {
        out += c;
        if (c == '\'')
            out += c;
    }
    return out + "'";
}

} // namespace

int fuzzFilter(const uint8_t* data, size_t size) {
    prepareFuzzEnvironment();
    const TZerovCursor& table = everyKindTable();
    // The filter refers to the fields it was prepared with, as a dataset's own copy.
    static const std::vector<TZerovField> fields = fieldsOf(table);
    TZerovFilter filter;
    try {
        filter.parse(AnsiString(reinterpret_cast<const char*>(data), size));
    } catch (const EDatabaseError&) {
        // The conditions read before the error stay in force; they are tested below.
    }
    try {
        filter.prepare(fields);
    } catch (const EDatabaseError&) {
        return 0;
    }
    for (const RecordEntry* e : table.entries())
        for (bool caseInsensitive : {false, true})
            filter.accepts(*e, caseInsensitive);
    return 0;
}

int fuzzMask(const uint8_t* data, size_t size) {
    prepareFuzzEnvironment();
    std::string_view input(reinterpret_cast<const char*>(data), size);
    const size_t split = input.find('\0');
    const std::string_view pattern = input.substr(0, split);
    const std::string_view text =
        split == std::string_view::npos ? std::string_view() : input.substr(split + 1);

    const PlainMask plain(pattern);
    std::unique_ptr<TZerovMask> mask;
    try {
        mask = std::make_unique<TZerovMask>(pattern);
    } catch (const EDatabaseError&) {
    }
    if (!mask != (plain.stars > TZerovMask::kMaxStars)) {
        fuzzFailure(mask ? "a mask with too many stars compiles" : "a valid mask is refused");
        return 0;
    }
    if (!mask)
        return 0;
    const bool expected = plain.matches(text);
    if (mask->matches(text) != expected)
        fuzzFailure(std::string("the mask ") + (expected ? "misses" : "matches") + " the text");
    if (mask->matches(ansiLowerCase(text)) != mask->matches(ansiUpperCase(text)))
        fuzzFailure("the mask regards case");

    // The same through the filter's LIKE, with the text in a record, in both case modes.
    if (ansiSameText(pattern, "Testo"))
        return 0;
    static const std::unique_ptr<TZerovCursor> table = makeTable({{"Testo", ftString, 250}}, {});
    static const std::vector<TZerovField> fields = fieldsOf(*table);
    const std::string_view stored = text.substr(0, text.find('\0'));
    std::unique_ptr<uint8_t[]> buffer(table->newRecordBuffer());
    fieldValueFromText(buffer.get(), stored, *table->fieldAt(0));
    struct ReleaseValues {
        const TZerovCursor& store;
        uint8_t* buffer;
        ~ReleaseValues() { store.freeRecordValues(buffer); }
    } release{*table, buffer.get()};
    RecordEntry entry;
    entry.data = buffer.get();
    TZerovFilter filter;
    filter.parse("Testo LIKE " + quoted(pattern));
    filter.prepare(fields);
    const bool storedMatches = mask->matches(fieldValueAsText(*table->fieldAt(0), entry));
    for (bool caseInsensitive : {false, true})
        if (filter.accepts(entry, caseInsensitive) != storedMatches)
            fuzzFailure("LIKE and the mask disagree");
    return 0;
}

} // namespace cibrano::fuzz

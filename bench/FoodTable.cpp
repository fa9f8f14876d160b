#include "bench/FoodTable.h"

#include "engine/file/FieldDescriptions.h"
#include "engine/file/Sapphire.h"
#include "engine/record/RecordEntry.h"
#include "platform/Files.h"
#include "platform/Stream.h"

#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <limits>
#include <malloc.h>
#include <map>
#include <memory>
#include <string_view>

namespace cibrano::bench {

namespace {

// Keeps the compiler from dropping the allocation in settleFreedMemory().
void* volatile benchmarkSink = nullptr;

// SplitMix64: tiny, and the same numbers on every platform and standard library (the standard
// distributions are not).
class Random {
public:
    explicit Random(uint64_t seed) : state_(seed) {}
    uint64_t next() {
        uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    // 0 .. n - 1
    size_t below(size_t n) { return static_cast<size_t>(next() % n); }
    // A value in [0, limit) rounded to `decimals` decimals.
    double amount(double limit, int decimals) {
        const double scale = std::pow(10.0, decimals);
        const auto steps = static_cast<uint64_t>(limit * scale);
        return static_cast<double>(next() % steps) / scale;
    }

private:
    uint64_t state_;
};

// The groups of the sample table.
constexpr std::array<const char*, 20> kGroups = {
    "Cereals and Millets",
    "Grain Legumes",
    "Green Leafy Vegetables",
    "Other Vegetables",
    "Fruits",
    "Roots and Tubers",
    "Condiments and Spices",
    "Nuts and Oil Seeds",
    "Sugars",
    "Mushrooms",
    "Miscellaneous Foods",
    "Milk and Milk Products",
    "Egg and Egg Products",
    "Poultry",
    "Animal Meat",
    "Marine Fish",
    "Marine Shellfish",
    "Marine Mollusks",
    "Fresh Water Fish and Shellfish",
    "Edible Oils and Fats",
};

// Words of the names, some lower-case and some with Windows-1252 accents, so that sorting
// without regard to case has real work to do.
constexpr std::array<const char*, 48> kFoods = {
    "Amaranth",
    "Bajra",
    "Barley",
    "Buckwheat",
    "Maize",
    "Millet",
    "Oats",
    "Quinoa",
    "Rice",
    "Sorghum",
    "Wheat",
    "Bengal",
    "Chickpea",
    "Cowpea",
    "Lentil",
    "Moth",
    "Soya",
    "Spinach",
    "Fenugreek",
    "Mustard",
    "Cabbage",
    "Carrot",
    "Onion",
    "Potato",
    "Yam",
    "Tomato",
    "Apple",
    "banana",
    "mango",
    "guava",
    "papaya",
    "Orange",
    "Almond",
    "Cashew",
    "Walnut",
    "Salmon",
    "Sardine",
    "Tuna",
    "Prawn",
    "Crab",
    "Chicken",
    "Mutton",
    "Cr\xE8me",
    "Jalape\xF1o",
    "P\xE2t\xE9",
    "M\xFCsli",
    "Pur\xE8",
    "\xC9"
    "clair",
};
constexpr std::array<const char*, 24> kKinds = {
    "seed",  "flour", "grain", "dal",   "leaves", "root",  "whole", "split",
    "black", "white", "red",   "green", "yellow", "pale",  "brown", "sweet",
    "sour",  "large", "small", "wild",  "hybrid", "local", "desi",  "gi\xE0llo",
};
constexpr std::array<const char*, 10> kPreparations = {
    "raw", "boiled", "dried", "fresh", "canned", "roasted", "fried", "steamed", "frozen", "salted",
};

AnsiString makeName(Random& random) {
    AnsiString name = kFoods[random.below(kFoods.size())];
    name += " ";
    name += kKinds[random.below(kKinds.size())];
    if (random.below(3) == 0) {
        name += " ";
        name += kKinds[random.below(kKinds.size())];
    }
    name += ", ";
    name += kPreparations[random.below(kPreparations.size())];
    // A variety number keeps most names apart, as in a real table.
    name += " ";
    name += std::to_string(random.below(1000));
    return name;
}

[[noreturn]] void fail(const std::string& what) {
    std::fprintf(stderr, "bench: %s\n", what.c_str());
    std::exit(1);
}

struct BufferDeleter {
    const TZerovCursor* store;
    void operator()(uint8_t* buffer) const {
        store->freeRecordValues(buffer);
        delete[] buffer;
    }
};

TZerovField& field(TZerovCursor& store, const char* name) {
    TZerovField* f = store.findField(name);
    if (!f)
        fail(std::string("the food table has no field ") + name);
    return *f;
}

class ScratchFolder {
public:
    ScratchFolder() {
        const char* tmp = std::getenv("TMPDIR");
        std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/cibrano-bench-XXXXXX";
        if (!mkdtemp(pattern.data()))
            fail("cannot make a scratch folder in " + pattern);
        path_ = pattern + "/";
    }
    ~ScratchFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    const std::string& path() const { return path_; }

private:
    std::string path_;
};

} // namespace

std::vector<FoodRow> makeFoodRows(int count) {
    Random random(0xC1B2A40u + static_cast<uint64_t>(count));
    std::vector<FoodRow> rows(static_cast<size_t>(count));
    for (FoodRow& row : rows) {
        row.gruppo = kGroups[random.below(kGroups.size())];
        row.nome = makeName(random);
        // A recipe uses a handful of foods: about 1 row in 100 has a quantity, the rest 0.
        row.quantita =
            random.below(100) == 0 ? 5.0 * static_cast<double>(1 + random.below(100)) : 0;
        row.kcalorie = random.amount(900, 1);
        row.glucidi = random.amount(100, 2);
        row.lipidi = random.amount(100, 2);
        row.proteine = random.amount(100, 2);
    }
    return rows;
}

void createFoodTable(TZerovCursor& store) {
    const std::vector<FieldDescription> fields = {
        {"Gruppo", ftString, 30}, {"Nome", ftString, 50},  {"Quantita", ftFloat, 0},
        {"Kcalorie", ftFloat, 0}, {"Glucidi", ftFloat, 0}, {"Lipidi", ftFloat, 0},
        {"Proteine", ftFloat, 0},
    };
    TMemoryStream image;
    writeNewTableImage(image, fields);
    image.setPosition(0);
    AnsiString message;
    if (!store.readTableImage(image, message))
        fail("cannot create the food table: " + message);
}

void putFoodRows(TZerovCursor& store, const std::vector<FoodRow>& rows) {
    const TZerovField& gruppo = field(store, "Gruppo");
    const TZerovField& nome = field(store, "Nome");
    const TZerovField* numbers[] = {&field(store, "Quantita"), &field(store, "Kcalorie"),
                                    &field(store, "Glucidi"), &field(store, "Lipidi"),
                                    &field(store, "Proteine")};
    AnsiString message;
    for (const FoodRow& row : rows) {
        std::unique_ptr<uint8_t[], BufferDeleter> buffer(store.newRecordBuffer(),
                                                         BufferDeleter{&store});
        uint8_t* slot = slotOf(buffer.get(), gruppo);
        std::memcpy(slot, row.gruppo.data(),
                    std::min(row.gruppo.size(), static_cast<size_t>(gruppo.declaredSize)));
        char* text = new char[row.nome.size() + 1];
        std::memcpy(text, row.nome.c_str(), row.nome.size() + 1);
        setTextRef(slotOf(buffer.get(), nome), text);
        const double values[] = {row.quantita, row.kcalorie, row.glucidi, row.lipidi, row.proteine};
        for (size_t k = 0; k < 5; ++k)
            writeSlot(slotOf(buffer.get(), *numbers[k]), values[k]);
        if (!store.putRecord(buffer.get(), nullptr, message))
            fail("cannot add a food: " + message);
    }
    store.commitAllChanges();
}

void loadImage(TZerovCursor& store, const std::string& image) {
    TMemoryStream stream(image);
    AnsiString message;
    if (!store.readTableImage(stream, message) || !message.empty())
        fail("the engine refused the benchmark table: " + message);
}

void keepMemoryInProcess() {
#ifdef __GLIBC__
    mallopt(M_MMAP_THRESHOLD, 1 << 30);
    mallopt(M_TRIM_THRESHOLD, std::numeric_limits<int>::max());
#endif
}

void settleFreedMemory() {
#ifdef __GLIBC__
    // A request above the small sizes makes glibc merge the small blocks freed so far.
    void* block = std::malloc(size_t{1} << 20);
    benchmarkSink = block;
    std::free(block);
#endif
}

const std::string& scratchFolder() {
    static ScratchFolder folder;
    return folder.path();
}

const FoodTable& foodTable(int rows) {
    static std::map<int, std::unique_ptr<FoodTable>> tables;
    auto& slot = tables[rows];
    if (slot)
        return *slot;

    auto table = std::make_unique<FoodTable>();
    table->rows = rows;
    table->values = makeFoodRows(rows);
    {
        TZerovCursor store;
        createFoodTable(store);
        putFoodRows(store, table->values);
        TMemoryStream plain;
        store.writeTableImage(plain);
        table->plainImage = std::string(plain.bytes());
        store.setPassword(kPassword);
        TMemoryStream enciphered;
        store.writeTableImage(enciphered);
        table->encipheredImage = std::string(enciphered.bytes());
        table->bodyKey.assign(reinterpret_cast<const char*>(store.passwordBlock()), 38);
        // Length, kind, password block, record count, field count, section length, section.
        table->encipheredBodyOffset = 4 + 1 + 40 + 4 + 4 + 4 + store.descriptionSection().size();
    }
    // Both images must read back whole, or every number below would measure something else.
    for (const std::string* image : {&table->plainImage, &table->encipheredImage}) {
        TZerovCursor check;
        check.setPassword(kPassword);
        loadImage(check, *image);
        if (check.entryCount() != rows)
            fail("the benchmark table did not read back whole");
    }
    // The floor deciphers the body alone: it must come out as the plain image's body.
    {
        std::string body = table->encipheredImage.substr(table->encipheredBodyOffset);
        TSapphire cipher;
        cipher.setKey(table->bodyKey);
        cipher.decipher(reinterpret_cast<uint8_t*>(body.data()), body.size());
        const size_t plainBodyOffset = table->encipheredBodyOffset - 40;
        if (body != std::string_view(table->plainImage).substr(plainBodyOffset))
            fail("the enciphered body is not where the benchmark looks for it");
    }
    const std::string stem = scratchFolder() + "food-" + std::to_string(rows);
    table->plainFile = stem + "-plain.d";
    table->encipheredFile = stem + "-enciphered.d";
    writeFileAtomically(table->plainFile, table->plainImage);
    writeFileAtomically(table->encipheredFile, table->encipheredImage);
    slot = std::move(table);
    return *slot;
}

} // namespace cibrano::bench

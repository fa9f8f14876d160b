// Damaged images of every kind: the reader may refuse them, never crash, read out of bounds or
// leak (run under the sanitizers).

#include "TableImageTestSupport.h"

#include "engine/file/ZerovSession.h"
#include "platform/ScriptedUi.h"

#include <random>

using namespace cibrano;
using namespace cibrano::testing;

namespace {

// Reads the image both ways; a table that opens can be written again and read back.
void readDamaged(const std::string& image) {
    for (bool partial : {false, true}) {
        TZerovCursor store;
        store.setPassword("QUARZOFELCEBRUM");
        store.setPartialOpen(partial);
        AnsiString message;
        if (!readImage(store, image, message))
            continue;
        try {
            const std::string again = writeImage(store);
            TZerovCursor back;
            back.setPassword("QUARZOFELCEBRUM");
            AnsiString backMessage;
            EXPECT_TRUE(readImage(back, again, backMessage)) << backMessage;
            EXPECT_EQ(back.entryCount(), store.entryCount());
        } catch (const EDatabaseError&) {
            // a damaged text may be refused by the writer; it must not be written
        }
    }
}

const char* const kGolden[] = {"food-plain.d", "food-enciphered.d"};

} // namespace

TEST(TableImageFuzz, EveryTruncationIsHandled) {
    ScriptedUi ui;
    for (const char* name : kGolden) {
        const std::string golden = goldenBytes(name);
        for (size_t cut = 0; cut < golden.size(); ++cut)
            readDamaged(golden.substr(0, cut));
    }
}

TEST(TableImageFuzz, EveryFlippedBitIsHandled) {
    ScriptedUi ui;
    for (const char* name : kGolden) {
        const std::string golden = goldenBytes(name);
        for (size_t at = 0; at < golden.size(); ++at)
            for (int bit = 0; bit < 8; ++bit) {
                std::string damaged = golden;
                damaged[at] = static_cast<char>(damaged[at] ^ (1 << bit));
                readDamaged(damaged);
            }
    }
}

TEST(TableImageFuzz, RandomBytesAndRandomDamageAreHandled) {
    ScriptedUi ui;
    std::mt19937 random(20240601);
    const std::string golden = goldenBytes("food-plain.d");
    for (int round = 0; round < 3000; ++round) {
        std::string damaged = golden;
        int changes = 1 + static_cast<int>(random() % 8);
        for (int k = 0; k < changes; ++k) {
            size_t at = random() % damaged.size();
            switch (random() % 3) {
            case 0:
                damaged[at] = static_cast<char>(random());
                break;
            case 1:
                damaged.erase(at, 1 + random() % 16);
                break;
            default:
                damaged.insert(at, std::string(1 + random() % 8, static_cast<char>(random())));
                break;
            }
            if (damaged.empty())
                damaged = "S";
        }
        readDamaged(damaged);
        std::string noise(random() % 200, '\0');
        for (char& c : noise)
            c = static_cast<char>(random());
        readDamaged(noise);
    }
}

TEST(TableImageFuzz, HugeDeclaredSizesAreNotBelieved) {
    ScriptedUi ui;
    std::string image = goldenBytes("food-plain.d");
    // Record count, field count and section length at their largest.
    for (size_t offset : {5u, 9u, 13u}) {
        std::string damaged = image;
        std::memset(damaged.data() + offset, 0x7F, 4);
        readDamaged(damaged);
    }
}

#include "engine/file/Sapphire.h"
#include "engine/file/Crc16.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

using namespace cibrano;

namespace {

std::vector<uint8_t> fromHex(const std::string& hex) {
    std::vector<uint8_t> out;
    for (size_t i = 0; i + 1 < hex.size(); i += 2)
        out.push_back(static_cast<uint8_t>(std::stoi(hex.substr(i, 2), nullptr, 16)));
    return out;
}

std::string trim(const std::string& s) {
    size_t b = s.find_first_not_of(" \t\r\n");
    if (b == std::string::npos)
        return {};
    size_t e = s.find_last_not_of(" \t\r\n");
    return s.substr(b, e - b + 1);
}

struct KnownAnswer {
    std::string key;
    std::vector<uint8_t> plain, cipher;
};

std::vector<KnownAnswer> loadKnownAnswers() {
    std::ifstream in(CIBRANO_TEST_DATA_DIR "/sapphire.txt");
    std::vector<KnownAnswer> out;
    std::string line;
    while (std::getline(in, line)) {
        if (line.empty() || line[0] == '#')
            continue;
        size_t p1 = line.find('|'), p2 = line.find('|', p1 + 1);
        auto key = fromHex(trim(line.substr(0, p1)));
        out.push_back({std::string(key.begin(), key.end()),
                       fromHex(trim(line.substr(p1 + 1, p2 - p1 - 1))),
                       fromHex(trim(line.substr(p2 + 1)))});
    }
    return out;
}

std::vector<uint8_t> readFile(const char* path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

} // namespace

TEST(SapphireTest, KnownAnswersBothDirections) {
    auto answers = loadKnownAnswers();
    ASSERT_EQ(answers.size(), 12u);
    TSapphire cipher;
    for (const auto& a : answers) {
        SCOPED_TRACE("key length " + std::to_string(a.key.size()) + ", plain length " +
                     std::to_string(a.plain.size()));
        auto buffer = a.plain;
        cipher.setKey(a.key);
        cipher.encipher(buffer.data(), buffer.size());
        EXPECT_EQ(buffer, a.cipher);
        cipher.setKey(a.key);
        cipher.decipher(buffer.data(), buffer.size());
        EXPECT_EQ(buffer, a.plain);
    }
}

TEST(SapphireTest, PasswordBlockOfTheSampleTable) {
    auto file = readFile(CIBRANO_TEST_DATA_DIR "/food-enciphered.d");
    ASSERT_GE(file.size(), 45u);
    ASSERT_EQ(file[4], 0x50);
    uint8_t block[40];
    std::memcpy(block, file.data() + 5, 40);
    TSapphire cipher;
    cipher.setKey("QUARZOFELCEBRUM");
    cipher.decipher(block, 38);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(block), 38),
              "{8A3C1E52-7F4B-4D1A-9C2E-5B6D7E8F9A01}");
    EXPECT_EQ(crc16(block, 40), 0);

    std::memcpy(block, file.data() + 5, 40);
    cipher.setKey("quarzofelcebrum");
    cipher.decipher(block, 38);
    EXPECT_NE(crc16(block, 40), 0);
}

namespace {

// The cipher's byte step exactly as the textbook writes it, card by card: what the program's
// faster step must give for every byte, whichever cards coincide.
struct TextbookSapphire {
    uint8_t cards[256];
    uint8_t rotor, ratchet, avalanche, lastPlain, lastCipher;

    uint8_t step(uint8_t in, bool encipher) {
        ratchet = static_cast<uint8_t>(ratchet + cards[rotor++]);
        uint8_t swapTemp = cards[lastCipher];
        cards[lastCipher] = cards[ratchet];
        cards[ratchet] = cards[lastPlain];
        cards[lastPlain] = cards[rotor];
        cards[rotor] = swapTemp;
        avalanche = static_cast<uint8_t>(avalanche + cards[swapTemp]);
        uint8_t out =
            static_cast<uint8_t>(in ^ cards[static_cast<uint8_t>(cards[ratchet] + cards[rotor])] ^
                                 cards[cards[static_cast<uint8_t>(
                                     cards[lastPlain] + cards[lastCipher] + cards[avalanche])]]);
        lastPlain = encipher ? in : out;
        lastCipher = encipher ? out : in;
        return out;
    }
};

// The empty key's state, which the textbook cipher can start from without the key set-up.
TextbookSapphire emptyKeyTextbook() {
    TextbookSapphire t{};
    for (int i = 0; i < 256; ++i)
        t.cards[i] = static_cast<uint8_t>(255 - i);
    t.rotor = 1;
    t.ratchet = 3;
    t.avalanche = 5;
    t.lastPlain = 7;
    t.lastCipher = 11;
    return t;
}

} // namespace

// A long stream over every kind of data (all zeros, text, noise), cut into pieces of odd sizes,
// meets every case of coinciding cards thousands of times: each byte and the state carried from
// piece to piece must match the textbook step.
TEST(SapphireTest, LongStreamsMatchTheTextbookStepInPieces) {
    std::vector<uint8_t> data(1 << 20);
    uint32_t seed = 12345;
    for (size_t i = 0; i < data.size(); ++i) {
        seed = seed * 1103515245u + 12345u;
        const size_t block = i / 65536;
        data[i] = block % 3 == 0   ? 0
                  : block % 3 == 1 ? "Pasta e fagioli "[i % 16]
                                   : static_cast<uint8_t>(seed >> 16);
    }
    for (bool encipher : {true, false}) {
        SCOPED_TRACE(encipher ? "encipher" : "decipher");
        TextbookSapphire textbook = emptyKeyTextbook();
        std::vector<uint8_t> expected = data;
        for (uint8_t& b : expected)
            b = textbook.step(b, encipher);

        TSapphire cipher;
        std::vector<uint8_t> buffer = data;
        const size_t pieces[] = {1, 7, 255, 4096, 65537};
        size_t at = 0;
        for (size_t k = 0; at < buffer.size(); ++k) {
            const size_t n = std::min(pieces[k % 5], buffer.size() - at);
            if (encipher)
                cipher.encipher(buffer.data() + at, n);
            else
                cipher.decipher(buffer.data() + at, n);
            at += n;
        }
        EXPECT_EQ(buffer, expected);
    }
}

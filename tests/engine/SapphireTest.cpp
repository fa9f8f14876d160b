#include "engine/file/Sapphire.h"
#include "engine/file/Crc16.h"

#include <gtest/gtest.h>

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

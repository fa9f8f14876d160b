#include "engine/Crc16.h"

#include <gtest/gtest.h>

#include <fstream>
#include <string>

using namespace cibrano;

namespace {
uint16_t crcOf(const std::string& s) {
    return crc16(reinterpret_cast<const uint8_t*>(s.data()), s.size());
}
} // namespace

TEST(Crc16Test, EveryVector) {
    std::ifstream in(CIBRANO_TEST_DATA_DIR "/crc16.txt");
    ASSERT_TRUE(in);
    std::string line;
    int count = 0;
    while (std::getline(in, line)) {
        if (line.empty() || line[0] == '#')
            continue;
        size_t bar = line.rfind(" | ");
        ASSERT_NE(bar, std::string::npos) << line;
        std::string input = line.substr(0, bar);
        auto expected = static_cast<uint16_t>(std::stoul(line.substr(bar + 3), nullptr, 16));
        EXPECT_EQ(crcOf(input), expected) << "input '" << input << "'";
        ++count;
    }
    EXPECT_EQ(count, 3);
}

TEST(Crc16Test, DataFollowedByItsCrcLowByteFirstGivesZero) {
    std::string s = "{8A3C1E52-7F4B-4D1A-9C2E-5B6D7E8F9A01}";
    uint16_t c = crcOf(s);
    s += static_cast<char>(c & 0xFF);
    s += static_cast<char>(c >> 8);
    EXPECT_EQ(crcOf(s), 0);
    s[1] ^= 0x01;
    EXPECT_NE(crcOf(s), 0);
}

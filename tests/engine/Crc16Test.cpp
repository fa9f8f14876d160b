#include "engine/file/Crc16.h"

#include <gtest/gtest.h>

#include <fstream>
#include <string>

using namespace cibrano;

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
        EXPECT_EQ(crc16(reinterpret_cast<const uint8_t*>(input.data()), input.size()), expected)
            << "input '" << input << "'";
        ++count;
    }
    EXPECT_EQ(count, 3);
}

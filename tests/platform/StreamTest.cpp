#include "platform/Stream.h"
#include "platform/Files.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <unistd.h>

using namespace cibrano;

TEST(MemoryStream, ReadsWritesAndSeeksLikeAFile) {
    TMemoryStream s;
    s.writeInt32(-2);
    s.writeInt16(0x1234);
    s.writeUInt8(0xAB);
    EXPECT_EQ(s.bytes(), std::string("\xFE\xFF\xFF\xFF\x34\x12\xAB", 7));
    s.setPosition(10); // past the end: the gap becomes zeros
    s.writeUInt8(1);
    EXPECT_EQ(s.size(), 11u);
    EXPECT_EQ(s.bytes().substr(7), std::string("\0\0\0\1", 4));

    s.setPosition(0);
    EXPECT_EQ(s.readInt32(), -2);
    EXPECT_EQ(s.readInt16(), 0x1234);
    EXPECT_EQ(s.remaining(), 5u);
    s.setPosition(9);
    char two[4];
    EXPECT_EQ(s.read(two, 4), 2u); // a short read answers what there was
    EXPECT_EQ(s.read(two, 4), 0u);
    s.setPosition(20);
    EXPECT_EQ(s.remaining(), 0u);
    EXPECT_THROW(s.readUInt8(), EStreamError);

    s.clear();
    EXPECT_EQ(s.size(), 0u);
    EXPECT_EQ(s.position(), 0u);
}

TEST(AtomicFileStream, WritesBackIntoItsHeaderAndReplacesOnlyOnCommit) {
    char pattern[] = "/tmp/cibrano-stream-XXXXXX";
    const std::string dir = ::mkdtemp(pattern);
    const std::string path = dir + "/t.d";
    writeFileAtomically(path, "old");
    {
        TAtomicFileStream s(path);
        s.writeInt32(0);
        std::string big(200000, 'x'); // more than one gathered piece
        s.writeBuffer(big.data(), big.size());
        s.writeBuffer("end", 3);
        s.setPosition(0);
        s.writeInt32(7);
        s.setPosition(s.size());
        s.writeUInt8('!');
        EXPECT_EQ(s.size(), 200008u);
        EXPECT_EQ(readWholeFile(path).value(), "old"); // nothing replaced yet
        s.commit();
    }
    std::string bytes = readWholeFile(path).value();
    ASSERT_EQ(bytes.size(), 200008u);
    EXPECT_EQ(bytes.substr(0, 5), std::string("\x07\0\0\0x", 5));
    EXPECT_EQ(bytes.substr(200004), "end!");
    {
        TAtomicFileStream s(path);
        s.writeBuffer("abandoned", 9);
    }
    EXPECT_EQ(readWholeFile(path).value().size(), 200008u);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir),
                            std::filesystem::directory_iterator()),
              1);
    std::filesystem::remove_all(dir);
}

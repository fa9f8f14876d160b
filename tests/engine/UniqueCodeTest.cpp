#include "engine/record/UniqueCode.h"
#include "platform/Clock.h"
#include "platform/DateTime.h"

#include <gtest/gtest.h>

using namespace cibrano;

namespace {

const std::string kDigits = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";

TDateTime at(int y, int mo, int d, int h, int mi, int s, int ms) {
    TDateTime date = 0, time = 0;
    tryEncodeDate(y, mo, d, date);
    tryEncodeTime(h, mi, s, ms, time);
    return date + time;
}

long long digitsValue(const std::string& code, size_t from, size_t count) {
    long long v = 0;
    for (size_t i = from; i < from + count; ++i)
        v = v * 62 + static_cast<long long>(kDigits.find(code[i]));
    return v;
}

class UniqueCodeTest : public ::testing::Test {
protected:
    void SetUp() override { restartUniqueCodeSequence(); }
    void TearDown() override {
        setClockForTesting({});
        restartUniqueCodeSequence();
    }
    void fixClock(TDateTime t) {
        setClockForTesting([t] { return t; });
    }
};

} // namespace

TEST_F(UniqueCodeTest, GroupsFromTheClockAndTheSequence) {
    fixClock(at(2000, 11, 2, 1, 2, 3, 456));
    // A: 1 day * 24 + 1 hour = 25; B: 2 * 60 + 3 = 123; C: 45 * 3844 / 2 + (1 * 60 + 2).
    EXPECT_EQ(makeUniqueCode(), "00P1zMW0");
    // Within the same moment the codes still differ, through the sequence.
    EXPECT_EQ(makeUniqueCode(), "00P1zMW1");
    EXPECT_EQ(makeUniqueCode(), "00P1zMW2");
}

TEST_F(UniqueCodeTest, SequenceStartsAgainAtZeroAfter3843) {
    fixClock(at(2024, 5, 6, 23, 59, 0, 0));
    std::string first = makeUniqueCode();
    EXPECT_EQ(digitsValue(first, 5, 3), 23 * 60 + 59);
    std::string last;
    for (int n = 23 * 60 + 59; n < 3843; ++n)
        last = makeUniqueCode();
    EXPECT_EQ(digitsValue(last, 5, 3), 3843);
    EXPECT_EQ(digitsValue(makeUniqueCode(), 5, 3), 0);
    EXPECT_EQ(digitsValue(makeUniqueCode(), 5, 3), 1);
}

TEST_F(UniqueCodeTest, HourGroupIsReducedUntilItFits) {
    TDateTime epoch;
    ASSERT_TRUE(tryEncodeDate(2000, 11, 1, epoch));
    // 20,000 days on: 480,000 hours, more than twice the capacity of three digits.
    fixClock(epoch + 20000 + 5.0 / 24);
    std::string code = makeUniqueCode();
    EXPECT_EQ(digitsValue(code, 0, 3), (20000LL * 24 + 5) % 238328);

    // A clock before 2000-11-01 still gives a well-formed code.
    fixClock(at(1999, 1, 1, 0, 0, 0, 990));
    code = makeUniqueCode();
    ASSERT_EQ(code.size(), 8u);
    for (char c : code)
        EXPECT_NE(kDigits.find(c), std::string::npos) << code;
    // 670 days before the epoch, wrapped into the three digits; the sequence went on from 300.
    EXPECT_EQ(digitsValue(code, 0, 3), 238328 - 670 * 24);
    EXPECT_EQ(digitsValue(code, 5, 3), 99LL * 1922 + 301);
}

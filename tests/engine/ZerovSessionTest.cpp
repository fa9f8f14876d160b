#include "engine/file/ZerovSession.h"
#include "engine/file/Crc16.h"
#include "platform/Component.h"
#include "platform/ScriptedUi.h"
#include "platform/UiServices.h"

#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <string>

using namespace cibrano;

namespace {

using Block = std::array<uint8_t, 40>;

const std::string kGuid = "{8A3C1E52-7F4B-4D1A-9C2E-5B6D7E8F9A01}";

// The password block a writer makes: the text enciphered with the password, its CRC plain.
Block makeBlock(const std::string& text, const std::string& password) {
    Block b{};
    std::memcpy(b.data(), text.data(), 38);
    uint16_t crc = crc16(b.data(), 38);
    b[38] = static_cast<uint8_t>(crc & 0xFF);
    b[39] = static_cast<uint8_t>(crc >> 8);
    TSapphire cipher;
    cipher.setKey(password);
    cipher.encipher(b.data(), 38);
    return b;
}

std::string guidIn(const Block& b) {
    return std::string(reinterpret_cast<const char*>(b.data()), 38);
}

class ZerovSessionTest : public ::testing::Test {
protected:
    ZerovSessionTest() { setApplicationTitle("Cibrano"); }
    ScriptedUi ui;
    TZerovSession s;
    Block block = makeBlock(kGuid, "QUARZOFELCEBRUM");
};

} // namespace

TEST_F(ZerovSessionTest, TablePasswordGivenBeforehandOpensWithoutPrompt) {
    AnsiString password = "QUARZOFELCEBRUM";
    ASSERT_TRUE(s.checkTablePassword(block.data(), password));
    EXPECT_EQ(guidIn(block), kGuid);
    EXPECT_EQ(password, "QUARZOFELCEBRUM");
    EXPECT_TRUE(ui.prompts.empty());
    EXPECT_TRUE(ui.warnings.empty());
    // Only a typed password is remembered.
    EXPECT_TRUE(s.rememberedPasswords().empty());
}

TEST_F(ZerovSessionTest, RememberedPasswordOpensWithoutPrompt) {
    s.rememberPassword("alpha");
    s.rememberPassword("QUARZOFELCEBRUM");
    s.rememberPassword("zulu");
    AnsiString password = "wrong";
    ASSERT_TRUE(s.checkTablePassword(block.data(), password));
    EXPECT_EQ(password, "QUARZOFELCEBRUM");
    EXPECT_EQ(guidIn(block), kGuid);
    EXPECT_TRUE(ui.prompts.empty());
}

TEST_F(ZerovSessionTest, ThreeWrongAnswersGiveTwoWarningsThenFailure) {
    ui.queuePassword("one");
    ui.queuePassword("two");
    ui.queuePassword("three");
    ui.queuePassword("QUARZOFELCEBRUM"); // never asked for
    const Block original = block;
    AnsiString password = "stale";
    EXPECT_FALSE(s.checkTablePassword(block.data(), password));
    ASSERT_EQ(ui.prompts.size(), 3u);
    // Each prompt starts from the previous answer.
    EXPECT_EQ(ui.prompts[0], "stale");
    EXPECT_EQ(ui.prompts[1], "one");
    EXPECT_EQ(ui.prompts[2], "two");
    ASSERT_EQ(ui.warnings.size(), 2u);
    for (const auto& w : ui.warnings) {
        EXPECT_EQ(w.caption, "Cibrano");
        EXPECT_EQ(w.text, "Password is invalid. Try again");
    }
    EXPECT_EQ(block, original);
    EXPECT_EQ(password, "stale");
    EXPECT_TRUE(s.rememberedPasswords().empty());
}

TEST_F(ZerovSessionTest, CancelledPromptFailsAtOnceAndASingleAttemptWarnsNever) {
    ui.queuePassword(std::nullopt);
    ui.queuePassword("QUARZOFELCEBRUM");
    AnsiString password;
    EXPECT_FALSE(s.checkTablePassword(block.data(), password));
    EXPECT_EQ(ui.prompts.size(), 1u);
    EXPECT_TRUE(ui.warnings.empty());

    s.maxPasswordTries = 1;
    ui.answers.clear();
    ui.queuePassword("nope");
    EXPECT_FALSE(s.checkTablePassword(block.data(), password));
    EXPECT_EQ(ui.prompts.size(), 2u);
    EXPECT_TRUE(ui.warnings.empty());
}

TEST_F(ZerovSessionTest, TypedPasswordIsRememberedForTheNextTable) {
    ui.queuePassword("nope");
    ui.queuePassword("QUARZOFELCEBRUM");
    AnsiString password;
    ASSERT_TRUE(s.checkTablePassword(block.data(), password));
    EXPECT_EQ(password, "QUARZOFELCEBRUM");
    EXPECT_EQ(ui.warnings.size(), 1u);
    EXPECT_EQ(s.rememberedPasswords(), std::vector<AnsiString>{"QUARZOFELCEBRUM"});

    Block other = makeBlock("{00000000-1111-2222-3333-444444444444}", "QUARZOFELCEBRUM");
    AnsiString second;
    ASSERT_TRUE(s.checkTablePassword(other.data(), second));
    EXPECT_EQ(second, "QUARZOFELCEBRUM");
    EXPECT_EQ(ui.prompts.size(), 2u); // no further prompt
}

TEST_F(ZerovSessionTest, BlockWithoutBracesIsRefusedEvenWhenTheCrcFits) {
    for (std::string text :
         {"X8A3C1E52-7F4B-4D1A-9C2E-5B6D7E8F9A01}", "{8A3C1E52-7F4B-4D1A-9C2E-5B6D7E8F9A01X"}) {
        Block b = makeBlock(text, "QUARZOFELCEBRUM");
        const Block original = b;
        AnsiString password = "QUARZOFELCEBRUM";
        EXPECT_FALSE(s.checkTablePassword(b.data(), password)) << text;
        EXPECT_EQ(b, original);
    }
}

TEST_F(ZerovSessionTest, RememberedPasswordsAreSortedWithoutDuplicates) {
    s.rememberPassword("beta");
    s.rememberPassword("Alpha");
    s.rememberPassword("");
    s.rememberPassword("beta");
    s.rememberPassword("alpha");
    EXPECT_EQ(s.rememberedPasswords(), (std::vector<AnsiString>{"Alpha", "alpha", "beta"}));
    s.forgetPassword("ALPHA"); // passwords are case-sensitive
    s.forgetPassword("Alpha");
    s.forgetPassword("gamma");
    EXPECT_EQ(s.rememberedPasswords(), (std::vector<AnsiString>{"alpha", "beta"}));
}

namespace {

class Database : public TComponent {
public:
    Database(TZerovSession& s, int& destroyed, bool unregisters)
        : s_(s), destroyed_(destroyed), unregisters_(unregisters) {
        s_.registerDatabase(this);
    }
    ~Database() override {
        ++destroyed_;
        if (unregisters_)
            s_.unregisterDatabase(this);
    }

private:
    TZerovSession& s_;
    int& destroyed_;
    bool unregisters_;
};

} // namespace

TEST(ZerovSessionLifeTest, EndingTheSessionDestroysTheDatabasesStillRegistered) {
    int destroyed = 0;
    {
        TZerovSession s;
        auto* gone = new Database(s, destroyed, true);
        new Database(s, destroyed, true);
        new Database(s, destroyed, false);
        s.registerDatabase(gone); // registering twice keeps one entry
        EXPECT_EQ(s.databases().size(), 3u);
        delete gone;
        EXPECT_EQ(s.databases().size(), 2u);
        EXPECT_EQ(destroyed, 1);
    }
    EXPECT_EQ(destroyed, 3);
}

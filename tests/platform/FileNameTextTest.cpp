// File names in messages: the system's bytes (UTF-8) shown as the message text's
// Windows-1252, with a rule for what that cannot hold and for bytes that are not UTF-8.

#include "platform/FileNameText.h"

#include <gtest/gtest.h>

namespace cibrano {
namespace {

TEST(FileNameText, AsciiNamesStayByteForByte) {
    for (const char* name :
         {"", "/home/anna/ricette/alimenti.d", "C:\\Documenti\\Cucina\\", "a b~$#!.d"})
        EXPECT_EQ(fileNameText(name), name);
}

TEST(FileNameText, Utf8CharactersWindows1252HoldsBecomeItsBytes) {
    EXPECT_EQ(fileNameText("/tmp/Citt\xC3\xA0/alimenti.d"), "/tmp/Citt\xE0/alimenti.d");
    EXPECT_EQ(fileNameText("\xE2\x82\xAC \xC5\x92uf \xC3\xBF"), "\x80 \x8Cuf \xFF"); // € Œ ÿ
}

TEST(FileNameText, ACharacterWindows1252CannotHoldShowsAsOneQuestionMark) {
    EXPECT_EQ(fileNameText("/tmp/\xCE\xA9/x"), "/tmp/?/x");           // Ω
    EXPECT_EQ(fileNameText("\xE4\xB8\xAD\xE6\x96\x87.d"), "??.d");    // 中文
    EXPECT_EQ(fileNameText("ricette \xF0\x9F\x8D\x9D"), "ricette ?"); // an emoji
    EXPECT_EQ(fileNameText("Citt\xC3\xA0 \xCE\xA9"), "Citt\xE0 ?");
}

TEST(FileNameText, BytesThatAreNoUtf8AreShownAsTheCharactersTheyAreInWindows1252) {
    // A name written by a program that used an 8-bit code page.
    EXPECT_EQ(fileNameText("/tmp/Citt\xE0/alimenti.d"), "/tmp/Citt\xE0/alimenti.d");
    EXPECT_EQ(fileNameText("caff\xC3"), "caff\xC3");         // cut short
    EXPECT_EQ(fileNameText("\xC0\xAF"), "\xC0\xAF");         // overlong "/"
    EXPECT_EQ(fileNameText("\xED\xA0\x80"), "\xED\xA0\x80"); // a surrogate
    EXPECT_EQ(fileNameText("\x80\xC3\xA0\xFF"), "\x80\xE0\xFF");
}

} // namespace
} // namespace cibrano

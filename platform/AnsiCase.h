#pragma once
// The single case rule for 8-bit text: every upper-casing and every case-insensitive
// comparison below the user interface goes through here. The rule is that of Windows-1252:
// the ASCII letters, the accented Latin letters 0xC0-0xDE / 0xE0-0xFE (except the
// multiplication and division signs), and the pairs Š/š, Œ/œ, Ž/ž, Ÿ/ÿ.

#include "platform/AnsiString.h"

#include <string_view>

namespace cibrano {

unsigned char ansiUpperChar(unsigned char c);
unsigned char ansiLowerChar(unsigned char c);

AnsiString ansiUpperCase(std::string_view text);
AnsiString ansiLowerCase(std::string_view text);

// Compares ignoring case: negative, 0 or positive. Letters compare by their upper-case form;
// the result orders by those bytes.
int ansiCompareText(std::string_view a, std::string_view b);
bool ansiSameText(std::string_view a, std::string_view b);

// Case-insensitive comparison of the first `count` bytes of both texts.
int ansiCompareTextPrefix(const char* a, const char* b, size_t count);

} // namespace cibrano

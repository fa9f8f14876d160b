#pragma once
// 8-bit text as the engine and the dataset framework hold it: Windows-1252 bytes.
// Unicode only appears at the boundary to the user (terminal, windows, CSV files in UTF-8).

#include <optional>
#include <string>
#include <string_view>

namespace cibrano {

using AnsiString = std::string;

// UTF-8 → Windows-1252. Answers nothing when the text is not valid UTF-8 or holds a character
// that Windows-1252 cannot represent: such text is refused, never mangled.
std::optional<AnsiString> utf8ToAnsi(std::string_view utf8);

// Windows-1252 → UTF-8. The five code points that Windows-1252 leaves undefined (0x81, 0x8D,
// 0x8F, 0x90, 0x9D) map to the C1 control characters of the same value, so nothing is lost.
std::string ansiToUtf8(std::string_view ansi);

// The Unicode code point of one Windows-1252 byte.
char32_t ansiCharToUnicode(unsigned char c);

} // namespace cibrano

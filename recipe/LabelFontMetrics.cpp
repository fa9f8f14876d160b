#include "recipe/LabelFontMetrics.h"

#include <array>
#include <cstdint>

namespace cibrano {

namespace {

// Advance widths of the printable ASCII characters, from the space (32) to the tilde (126).
constexpr std::array<uint16_t, 95> kRegular = {
    278,  278, 355, 556, 556, 889, 667, 191, 333, 333, 389, 584, 278, 333, 278, 278, // sp-/
    556,  556, 556, 556, 556, 556, 556, 556, 556, 556, 278, 278, 584, 584, 584, 556, // 0-?
    1015, 667, 667, 722, 722, 667, 611, 778, 722, 278, 500, 667, 556, 833, 722, 778, // @-O
    667,  778, 722, 667, 611, 722, 667, 944, 667, 667, 611, 278, 278, 278, 469, 556, // P-_
    333,  556, 556, 500, 556, 556, 278, 556, 556, 222, 222, 500, 222, 833, 556, 556, // `-o
    556,  556, 333, 500, 278, 556, 500, 722, 500, 500, 500, 334, 260, 334, 584};     // p-~
constexpr std::array<uint16_t, 95> kBold = {
    278, 333, 474, 556, 556, 889, 722, 238, 333, 333, 389, 584, 278, 333, 278, 278, // sp-/
    556, 556, 556, 556, 556, 556, 556, 556, 556, 556, 333, 333, 584, 584, 584, 611, // 0-?
    975, 722, 722, 722, 722, 667, 611, 778, 722, 278, 556, 722, 611, 833, 722, 778, // @-O
    667, 778, 722, 667, 611, 722, 667, 944, 667, 667, 611, 333, 278, 333, 584, 556, // P-_
    333, 556, 611, 556, 611, 556, 333, 611, 611, 278, 278, 556, 278, 889, 611, 611, // `-o
    611, 611, 389, 556, 333, 611, 556, 778, 556, 556, 500, 389, 280, 389, 584};     // p-~

// The letter an accented letter of Windows-1252 is as wide as; the widest width for the rest.
char baseLetter(unsigned char c) {
    if (c >= 0xC0 && c <= 0xC5)
        return 'A';
    if (c >= 0xC8 && c <= 0xCB)
        return 'E';
    if (c >= 0xCC && c <= 0xCF)
        return 'I';
    if ((c >= 0xD2 && c <= 0xD6) || c == 0xD8)
        return 'O';
    if (c >= 0xD9 && c <= 0xDC)
        return 'U';
    if (c >= 0xE0 && c <= 0xE5)
        return 'a';
    if (c >= 0xE8 && c <= 0xEB)
        return 'e';
    if (c >= 0xEC && c <= 0xEF)
        return 'i';
    if ((c >= 0xF2 && c <= 0xF6) || c == 0xF8)
        return 'o';
    if (c >= 0xF9 && c <= 0xFC)
        return 'u';
    switch (c) {
    case 0xC7:
        return 'C';
    case 0xE7:
        return 'c';
    case 0xD1:
        return 'N';
    case 0xF1:
        return 'n';
    case 0xA0:
        return ' ';
    case 0xB7:
        return '.';
    default:
        return 0;
    }
}

} // namespace

double labelTextWidth(const AnsiString& text, double size, bool bold) {
    const std::array<uint16_t, 95>& widths = bold ? kBold : kRegular;
    double units = 0;
    for (char ch : text) {
        unsigned char c = static_cast<unsigned char>(ch);
        if (c < 32 || c > 126) {
            const char base = baseLetter(c);
            if (!base) {
                units += 1000;
                continue;
            }
            c = static_cast<unsigned char>(base);
        }
        units += widths[c - 32];
    }
    return units * size / 1000;
}

} // namespace cibrano

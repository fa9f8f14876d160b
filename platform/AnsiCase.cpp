#include "platform/AnsiCase.h"

#include <array>

namespace cibrano {

namespace {

struct CaseTables {
    std::array<unsigned char, 256> upper{};
    std::array<unsigned char, 256> lower{};
    CaseTables() {
        for (int c = 0; c < 256; ++c)
            upper[c] = lower[c] = static_cast<unsigned char>(c);
        auto pair = [this](int up, int low) {
            upper[low] = static_cast<unsigned char>(up);
            lower[up] = static_cast<unsigned char>(low);
        };
        for (int c = 'A'; c <= 'Z'; ++c)
            pair(c, c + 32);
        for (int c = 0xC0; c <= 0xDE; ++c)
            if (c != 0xD7)
                pair(c, c + 32);
        pair(0x8A, 0x9A); // Š š
        pair(0x8C, 0x9C); // Œ œ
        pair(0x8E, 0x9E); // Ž ž
        pair(0x9F, 0xFF); // Ÿ ÿ
    }
};

const CaseTables& tables() {
    static const CaseTables t;
    return t;
}

} // namespace

unsigned char ansiUpperChar(unsigned char c) {
    return tables().upper[c];
}
unsigned char ansiLowerChar(unsigned char c) {
    return tables().lower[c];
}

AnsiString ansiUpperCase(std::string_view text) {
    AnsiString out(text);
    for (char& c : out)
        c = static_cast<char>(ansiUpperChar(static_cast<unsigned char>(c)));
    return out;
}

AnsiString ansiLowerCase(std::string_view text) {
    AnsiString out(text);
    for (char& c : out)
        c = static_cast<char>(ansiLowerChar(static_cast<unsigned char>(c)));
    return out;
}

int ansiCompareTextPrefix(const char* a, const char* b, size_t count) {
    const auto& up = tables().upper;
    for (size_t i = 0; i < count; ++i) {
        int ca = up[static_cast<unsigned char>(a[i])];
        int cb = up[static_cast<unsigned char>(b[i])];
        if (ca != cb)
            return ca - cb;
    }
    return 0;
}

int ansiCompareText(std::string_view a, std::string_view b) {
    size_t n = a.size() < b.size() ? a.size() : b.size();
    int r = ansiCompareTextPrefix(a.data(), b.data(), n);
    if (r != 0)
        return r;
    return a.size() < b.size() ? -1 : (a.size() > b.size() ? 1 : 0);
}

bool ansiSameText(std::string_view a, std::string_view b) {
    return a.size() == b.size() && ansiCompareTextPrefix(a.data(), b.data(), a.size()) == 0;
}

} // namespace cibrano

#include "dataset/EditMask.h"

#include "platform/AnsiCase.h"

#include <cstring>

namespace cibrano {

namespace {

bool isPlaceholder(char c) {
    return c != '\0' && std::strchr("LlAaCc09#", c) != nullptr;
}

} // namespace

AnsiString formatMaskText(const AnsiString& mask, const AnsiString& value) {
    // Split off the two trailing sections; a ";" preceded by "\" belongs to the pattern.
    AnsiString pattern = mask;
    bool saveLiterals = true;
    char blank = '_';
    size_t last = AnsiString::npos;
    for (size_t i = 0; i < mask.size(); ++i) {
        if (mask[i] == '\\') {
            ++i;
            continue;
        }
        if (mask[i] == ';') {
            last = i;
            break;
        }
    }
    if (last != AnsiString::npos) {
        pattern = mask.substr(0, last);
        AnsiString rest = mask.substr(last + 1);
        size_t semi = rest.find(';');
        AnsiString save = rest.substr(0, semi);
        if (!save.empty())
            saveLiterals = save[0] != '0';
        if (semi != AnsiString::npos && semi + 1 < rest.size())
            blank = rest[semi + 1];
    }

    AnsiString out;
    size_t v = 0;
    int caseMode = 0; // 1 upper, -1 lower
    for (size_t i = 0; i < pattern.size(); ++i) {
        char c = pattern[i];
        if (c == '!')
            continue;
        if (c == '<' && i + 1 < pattern.size() && pattern[i + 1] == '>') {
            caseMode = 0;
            ++i;
            continue;
        }
        if (c == '>') {
            caseMode = 1;
            continue;
        }
        if (c == '<') {
            caseMode = -1;
            continue;
        }
        bool literal = !isPlaceholder(c);
        if (c == '\\' && i + 1 < pattern.size()) {
            c = pattern[++i];
            literal = true;
        }
        if (literal) {
            out += c;
            if (saveLiterals && v < value.size())
                ++v;
            continue;
        }
        if (v < value.size()) {
            unsigned char ch = static_cast<unsigned char>(value[v++]);
            if (caseMode > 0)
                ch = ansiUpperChar(ch);
            else if (caseMode < 0)
                ch = ansiLowerChar(ch);
            out += static_cast<char>(ch);
        } else {
            out += blank;
        }
    }
    return out;
}

} // namespace cibrano

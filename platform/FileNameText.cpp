#include "platform/FileNameText.h"

namespace cibrano {

namespace {

// The length of the well-formed UTF-8 sequence at the start of `bytes`, 0 when there is none
// (a stray continuation byte, a cut or overlong sequence, a surrogate, beyond U+10FFFF).
size_t utf8SequenceLength(std::string_view bytes) {
    const auto lead = static_cast<unsigned char>(bytes[0]);
    size_t length;
    char32_t cp;
    if (lead < 0x80)
        return 1;
    if ((lead & 0xE0) == 0xC0) {
        length = 2;
        cp = lead & 0x1F;
    } else if ((lead & 0xF0) == 0xE0) {
        length = 3;
        cp = lead & 0x0F;
    } else if ((lead & 0xF8) == 0xF0) {
        length = 4;
        cp = lead & 0x07;
    } else {
        return 0;
    }
    if (bytes.size() < length)
        return 0;
    for (size_t k = 1; k < length; ++k) {
        const auto c = static_cast<unsigned char>(bytes[k]);
        if ((c & 0xC0) != 0x80)
            return 0;
        cp = (cp << 6) | (c & 0x3F);
    }
    static constexpr char32_t kSmallest[] = {0, 0, 0x80, 0x800, 0x10000};
    if (cp < kSmallest[length] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
        return 0;
    return length;
}

} // namespace

AnsiString fileNameText(std::string_view name) {
    AnsiString text;
    text.reserve(name.size());
    size_t i = 0;
    while (i < name.size()) {
        const size_t length = utf8SequenceLength(name.substr(i));
        if (length == 0) {
            text += name[i]; // not UTF-8: the byte as it is
            ++i;
        } else if (length == 1) {
            text += name[i];
            ++i;
        } else {
            text += utf8ToAnsi(name.substr(i, length)).value_or("?");
            i += length;
        }
    }
    return text;
}

} // namespace cibrano

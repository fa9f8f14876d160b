#include "engine/query/ZerovToken.h"

#include "platform/AnsiCase.h"

namespace cibrano {

bool isZerovReservedWord(std::string_view word) {
    for (std::string_view reserved : kZerovReservedWords)
        if (ansiSameText(word, reserved))
            return true;
    return false;
}

} // namespace cibrano

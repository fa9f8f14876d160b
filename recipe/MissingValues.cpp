#include "recipe/MissingValues.h"

#include "platform/AnsiCase.h"

#include <algorithm>

namespace cibrano {

MissingValues::MissingValues(const AnsiString& text) {
    size_t at = 0;
    while (at < text.size()) {
        const size_t start = text.find_first_not_of(' ', at);
        if (start == AnsiString::npos)
            break;
        const size_t end = std::min(text.find(' ', start), text.size());
        const AnsiString name = text.substr(start, end - start);
        if (!lists(name))
            names_.push_back(name);
        at = end;
    }
}

bool MissingValues::lists(const AnsiString& field) const {
    return std::any_of(names_.begin(), names_.end(),
                       [&](const AnsiString& n) { return ansiSameText(n, field); });
}

void MissingValues::set(const AnsiString& field, bool missing,
                        const std::vector<AnsiString>& order) {
    names_.erase(std::remove_if(names_.begin(), names_.end(),
                                [&](const AnsiString& n) { return ansiSameText(n, field); }),
                 names_.end());
    if (!missing)
        return;
    names_.push_back(field);
    const auto rank = [&](const AnsiString& name) {
        const auto at = std::find_if(order.begin(), order.end(),
                                     [&](const AnsiString& o) { return ansiSameText(o, name); });
        return at - order.begin();
    };
    std::stable_sort(names_.begin(), names_.end(),
                     [&](const AnsiString& a, const AnsiString& b) { return rank(a) < rank(b); });
}

AnsiString MissingValues::text() const {
    AnsiString text;
    for (const AnsiString& name : names_)
        text += (text.empty() ? "" : " ") + name;
    return text;
}

} // namespace cibrano

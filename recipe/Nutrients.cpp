#include "recipe/Nutrients.h"

#include <string>

namespace cibrano {

const char* optionalNutrientNames() {
    static const std::string names = [] {
        std::string text;
        for (const Nutrient& n : kNutrients)
            if (n.optional)
                text += (text.empty() ? "" : " ") + std::string(n.field);
        return text;
    }();
    return names.c_str();
}

} // namespace cibrano

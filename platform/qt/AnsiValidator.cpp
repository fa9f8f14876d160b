#include "platform/qt/AnsiValidator.h"

#include "platform/qt/QtText.h"

namespace cibrano {

QValidator::State AnsiValidator::validate(QString& input, int&) const {
    return isAnsiRepresentable(input) ? Acceptable : Invalid;
}

} // namespace cibrano

#include "platform/DatabaseError.h"

#include "platform/Component.h"
#include "platform/Format.h"

namespace cibrano {

AnsiString componentMessage(const AnsiString& text, const TComponent* component) {
    if (component && !component->Name().empty())
        return formatText("%s: %s", component->Name(), text);
    return text;
}

std::string_view withoutComponentName(std::string_view message, const TComponent* component) {
    if (!component || component->Name().empty())
        return message;
    const std::string named = component->Name() + ": ";
    return message.substr(0, named.size()) == named ? message.substr(named.size()) : message;
}

void databaseError(const AnsiString& text, const TComponent* component) {
    throw EDatabaseError(componentMessage(text, component));
}

} // namespace cibrano

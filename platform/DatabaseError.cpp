#include "platform/DatabaseError.h"

#include "platform/Component.h"
#include "platform/Format.h"

namespace cibrano {

AnsiString componentMessage(const AnsiString& text, const TComponent* component) {
    if (component && !component->Name().empty())
        return formatText("%s: %s", component->Name(), text);
    return text;
}

void databaseError(const AnsiString& text, const TComponent* component) {
    throw EDatabaseError(componentMessage(text, component));
}

} // namespace cibrano

#pragma once
// Which field class holds values of each data type.

#include "dataset/FieldTypes.h"

namespace cibrano {

class TComponent;
class TField;

// A new field of the class for `type`, owned by `owner`; none for the types this framework
// has no class for (ftUnknown, ftCursor, BCD, byte arrays, wide strings, large integers,
// object, variant, interface and GUID types).
TField* newFieldOfType(TFieldType type, TComponent* owner);

} // namespace cibrano

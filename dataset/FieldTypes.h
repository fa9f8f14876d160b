#pragma once
// The data types a field or field definition can have, and the other enumerations that
// describe a field.

#include "platform/Set.h"

namespace cibrano {

enum TFieldType {
    ftUnknown,
    ftString,
    ftSmallint,
    ftInteger,
    ftWord,
    ftBoolean,
    ftFloat,
    ftCurrency,
    ftBCD,
    ftDate,
    ftTime,
    ftDateTime,
    ftBytes,
    ftVarBytes,
    ftAutoInc,
    ftBlob,
    ftMemo,
    ftGraphic,
    ftFmtMemo,
    ftParadoxOle,
    ftDBaseOle,
    ftTypedBinary,
    ftCursor,
    ftFixedChar,
    ftWideString,
    ftLargeint,
    ftADT,
    ftArray,
    ftReference,
    ftDataSet,
    ftOraBlob,
    ftOraClob,
    ftVariant,
    ftInterface,
    ftIDispatch,
    ftGuid,
};

// The name a type goes by in messages ("Float", "String", "SmallInt", ...).
const char* fieldTypeName(TFieldType type);

// Whether values of the two types can be held by the same field class family: the string
// types, the integer types, float and currency, the date and time types, the BLOB types, the
// byte arrays; every other type only matches itself.
bool fieldTypesCompatible(TFieldType a, TFieldType b);

enum TFieldKind { fkData, fkCalculated, fkLookup, fkInternalCalc, fkAggregate };

enum TAlignment { taLeftJustify, taRightJustify, taCenter };

enum TFieldAttribute { faHiddenCol, faReadonly, faRequired, faLink, faUnNamed, faFixed };
using TFieldAttributes = TSet<TFieldAttribute>;

} // namespace cibrano

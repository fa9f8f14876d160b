#include "dataset/FieldTypes.h"

namespace cibrano {

const char* fieldTypeName(TFieldType type) {
    static const char* const names[] = {
        "Unknown",    "String",     "SmallInt", "Integer",     "Word",      "Boolean",
        "Float",      "Currency",   "BCD",      "Date",        "Time",      "DateTime",
        "Bytes",      "VarBytes",   "AutoInc",  "Blob",        "Memo",      "Graphic",
        "FmtMemo",    "ParadoxOle", "DBaseOle", "TypedBinary", "Cursor",    "FixedChar",
        "WideString", "Largeint",   "ADT",      "Array",       "Reference", "DataSet",
        "OraBlob",    "OraClob",    "Variant",  "Interface",   "IDispatch", "Guid"};
    int i = static_cast<int>(type);
    if (i < 0 || i >= static_cast<int>(sizeof names / sizeof names[0]))
        return "Unknown";
    return names[i];
}

namespace {

int typeGroup(TFieldType t) {
    switch (t) {
    case ftString:
    case ftFixedChar:
    case ftWideString:
        return 1;
    case ftSmallint:
    case ftInteger:
    case ftWord:
    case ftAutoInc:
    case ftLargeint:
        return 2;
    case ftFloat:
    case ftCurrency:
        return 3;
    case ftDate:
    case ftTime:
    case ftDateTime:
        return 4;
    case ftBlob:
    case ftMemo:
    case ftGraphic:
    case ftFmtMemo:
    case ftParadoxOle:
    case ftDBaseOle:
    case ftTypedBinary:
    case ftOraBlob:
    case ftOraClob:
        return 5;
    case ftBytes:
    case ftVarBytes:
        return 6;
    default:
        return 0;
    }
}

} // namespace

bool fieldTypesCompatible(TFieldType a, TFieldType b) {
    if (a == b)
        return true;
    int g = typeGroup(a);
    return g != 0 && g == typeGroup(b);
}

} // namespace cibrano

#include "dataset/FieldFactory.h"

#include "dataset/BlobField.h"
#include "dataset/BooleanField.h"
#include "dataset/DateTimeFields.h"
#include "dataset/FloatField.h"
#include "dataset/IntegerFields.h"
#include "dataset/StringField.h"

namespace cibrano {

TField* newFieldOfType(TFieldType type, TComponent* owner) {
    switch (type) {
    case ftString:
    case ftFixedChar:
        return new TStringField(owner);
    case ftSmallint:
        return new TSmallintField(owner);
    case ftInteger:
        return new TIntegerField(owner);
    case ftWord:
        return new TWordField(owner);
    case ftAutoInc:
        return new TAutoIncField(owner);
    case ftBoolean:
        return new TBooleanField(owner);
    case ftFloat:
        return new TFloatField(owner);
    case ftCurrency:
        return new TCurrencyField(owner);
    case ftDate:
        return new TDateField(owner);
    case ftTime:
        return new TTimeField(owner);
    case ftDateTime:
        return new TDateTimeField(owner);
    case ftBlob:
    case ftFmtMemo:
    case ftParadoxOle:
    case ftDBaseOle:
    case ftTypedBinary:
    case ftOraBlob: {
        auto* f = new TBlobField(owner);
        f->setBlobType(type);
        return f;
    }
    case ftMemo:
    case ftOraClob: {
        auto* f = new TMemoField(owner);
        f->setBlobType(type);
        return f;
    }
    case ftGraphic:
        return new TGraphicField(owner);
    default:
        return nullptr;
    }
}

} // namespace cibrano

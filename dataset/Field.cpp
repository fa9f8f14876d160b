#include "dataset/Field.h"

#include "dataset/DataSet.h"
#include "dataset/DbConsts.h"
#include "platform/AnsiCase.h"
#include "platform/DatabaseError.h"
#include "platform/Format.h"
#include "platform/RunThenAlways.h"

#include <cstring>
#include <vector>

namespace cibrano {

TField::TField(TComponent* owner) : TComponent(owner) {}

TField::~TField() {
    destroying();
    if (dataSet_) {
        // The record layout depends on the fields: a dataset cannot stay open without one.
        try {
            dataSet_->close();
        } catch (...) {
        }
        dataSet_->fields_.remove(this);
        dataSet_ = nullptr;
    }
}

void TField::checkInactive() {
    if (dataSet_)
        dataSet_->checkInactive();
}

TDataSet* TField::requireDataSet() const {
    if (!dataSet_)
        databaseError(formatText(dbconsts::kDataSetMissing, displayName()));
    return dataSet_;
}

void TField::propertyChanged(bool layout) {
    if (dataSet_ && dataSet_->Active())
        dataSet_->raiseDataEvent(layout ? evLayoutChange : evDatasetChange);
}

void TField::setFieldName(const AnsiString& name) {
    if (name == fieldName_)
        return;
    checkInactive();
    if (dataSet_) {
        if (name.empty())
            databaseError(dbconsts::kFieldNameMissing, dataSet_);
        TField* other = dataSet_->findField(name);
        if (other && other != this)
            databaseError(formatText(dbconsts::kDuplicateFieldName, name), dataSet_);
    }
    fieldName_ = name;
}

void TField::setDisplayLabel(const AnsiString& label) {
    changeProperty(displayLabel_, label, true);
}

void TField::setDisplayWidth(int width) {
    changeProperty(displayWidth_, width, true);
}

void TField::setAlignment(TAlignment alignment) {
    changeProperty(alignment_, alignment, true);
}

void TField::setFieldKind(TFieldKind kind) {
    if (kind == fieldKind_)
        return;
    checkInactive();
    fieldKind_ = kind;
}

int TField::Index() const {
    return dataSet_ ? dataSet_->fields_.indexOf(this) : -1;
}

void TField::setIndex(int index) {
    if (!dataSet_ || index == Index())
        return;
    dataSet_->fields_.move(this, index);
    propertyChanged(true);
}

void TField::setReadOnly(bool value) {
    changeProperty(readOnly_, value, true);
}

void TField::setVisible(bool value) {
    changeProperty(visible_, value, true);
}

void TField::setLookupDataSet(TDataSet* dataSet) {
    if (dataSet == lookupDataSet_)
        return;
    checkInactive();
    if (lookupDataSet_)
        removeFreeNotification(lookupDataSet_);
    lookupDataSet_ = dataSet;
    if (dataSet)
        freeNotification(dataSet);
}

void TField::notification(TComponent* component, TOperation operation) {
    TComponent::notification(component, operation);
    if (operation == opRemove && component && component == lookupDataSet_)
        lookupDataSet_ = nullptr;
}

void TField::setKeyFields(const AnsiString& names) {
    checkInactive();
    keyFields_ = names;
}

void TField::setLookupKeyFields(const AnsiString& names) {
    checkInactive();
    lookupKeyFields_ = names;
}

void TField::setLookupResultField(const AnsiString& name) {
    checkInactive();
    lookupResultField_ = name;
}

void TField::setDataSet(TDataSet* dataSet) {
    if (dataSet == dataSet_)
        return;
    if (dataSet_)
        dataSet_->checkInactive();
    if (dataSet) {
        dataSet->checkInactive();
        if (fieldName_.empty())
            databaseError(dbconsts::kFieldNameMissing, dataSet);
        if (dataSet->findField(fieldName_))
            databaseError(formatText(dbconsts::kDuplicateFieldName, fieldName_), dataSet);
    }
    if (dataSet_)
        dataSet_->fields_.remove(this);
    if (dataSet)
        dataSet->fields_.add(this);
    dataSet_ = dataSet;
    fieldNo_ = 0;
}

void TField::setSize(int size) {
    if (size < 0)
        databaseError(dbconsts::kInvalidFieldSize, dataSet_);
    if (size == size_)
        return;
    checkInactive();
    size_ = size;
}

// --- Values -------------------------------------------------------------------------------

void TField::accessError(const char* typeName) const {
    databaseError(formatText(dbconsts::kFieldAccessError, displayName(), AnsiString(typeName)));
}

double TField::floatValue() const {
    accessError("Float");
}
void TField::setFloatValue(double) {
    accessError("Float");
}
AnsiString TField::stringValue() const {
    accessError("String");
}
void TField::setStringValue(const AnsiString&) {
    accessError("String");
}
int TField::integerValue() const {
    accessError("Integer");
}
void TField::setIntegerValue(int) {
    accessError("Integer");
}
bool TField::booleanValue() const {
    accessError("Boolean");
}
void TField::setBooleanValue(bool) {
    accessError("Boolean");
}
TDateTime TField::dateTimeValue() const {
    accessError("DateTime");
}
void TField::setDateTimeValue(TDateTime) {
    accessError("DateTime");
}

AnsiString TField::textOf(bool) const {
    return stringValue();
}

AnsiString TField::displayText() const {
    if (OnGetText) {
        AnsiString text;
        OnGetText(const_cast<TField*>(this), text, true);
        return text;
    }
    return textOf(true);
}

AnsiString TField::editText() const {
    if (OnGetText) {
        AnsiString text;
        OnGetText(const_cast<TField*>(this), text, false);
        return text;
    }
    return textOf(false);
}

void TField::setEditText(const AnsiString& text) {
    if (OnSetText)
        OnSetText(this, text);
    else
        setStringValue(text);
}

bool TField::acceptsChar(char) const {
    return true;
}

bool TField::isNull() const {
    return !readRaw(nullptr);
}

void TField::clearValue() {
    writeRaw(nullptr);
}

namespace {

TVariantKind variantKindOf(TFieldType type) {
    switch (type) {
    case ftSmallint:
    case ftInteger:
    case ftWord:
    case ftAutoInc:
    case ftLargeint:
        return vkInteger;
    case ftBoolean:
        return vkBoolean;
    case ftFloat:
    case ftCurrency:
    case ftBCD:
        return vkFloat;
    case ftDate:
    case ftTime:
    case ftDateTime:
        return vkDateTime;
    default:
        return vkString;
    }
}

} // namespace

TVariant TField::value() const {
    if (isNull())
        return TVariant::null();
    switch (variantKindOf(dataType_)) {
    case vkInteger:
        return TVariant(integerValue());
    case vkBoolean:
        return TVariant(booleanValue());
    case vkFloat:
        return TVariant(floatValue());
    case vkDateTime:
        return TVariant::dateTime(dateTimeValue());
    default:
        return TVariant(stringValue());
    }
}

void TField::setValue(const TVariant& value) {
    if (!value.hasValue()) {
        clearValue();
        return;
    }
    switch (variantKindOf(dataType_)) {
    case vkInteger: {
        const int64_t v = value.asInteger();
        // Beyond int the field's own range check speaks, through the float setter.
        if (v < INT32_MIN || v > INT32_MAX)
            setFloatValue(static_cast<double>(v));
        else
            setIntegerValue(static_cast<int>(v));
        break;
    }
    case vkBoolean:
        setBooleanValue(value.asBoolean());
        break;
    case vkFloat:
        setFloatValue(value.asFloat());
        break;
    case vkDateTime:
        setDateTimeValue(value.asDateTime());
        break;
    default:
        setStringValue(value.asString());
        break;
    }
}

void TField::focusBoundControl() {
    if (!dataSet_ || !dataSet_->Active())
        return;
    TField* field = this;
    dataSet_->raiseDataEvent(evFocusControl, focusEventInfo(&field));
}

AnsiString TField::displayName() const {
    return displayLabel_.empty() ? fieldName_ : displayLabel_;
}

bool TField::fieldCanModify() const {
    if (fieldNo_ <= 0 || !dataSet_)
        return false;
    if (dataSet_->State() == stateSetKey)
        return isIndexField_;
    return !readOnly_ && dataSet_->canModify();
}

bool TField::readRaw(void* destination) const {
    TDataSet* ds = dataSet_ ? dataSet_ : requireDataSet();
    if (validating_) {
        if (!validateSource_)
            return false;
        if (destination)
            std::memcpy(destination, validateSource_, static_cast<size_t>(dataSize()));
        return true;
    }
    return ds->readFieldValue(const_cast<TField*>(this), destination);
}

void TField::writeRaw(const void* source) {
    // While the value is validated, stored and announced the dataset refuses to close: the
    // close would free default fields, this one among them.
    TDataSet* ds = requireDataSet();
    ++ds->fieldWrites_;
    runThenAlways([&] { ds->writeFieldValue(this, source); }, [&] { --ds->fieldWrites_; });
}

void TField::validate(const void* source) {
    if (!OnValidate)
        return;
    validating_ = true;
    validateSource_ = source;
    runThenAlways([&] { OnValidate(this); },
                  [&] {
                      validating_ = false;
                      validateSource_ = nullptr;
                  });
}

void TField::change() {
    if (OnChange)
        OnChange(this);
}

} // namespace cibrano

#include "dataset/FieldDefs.h"

#include "dataset/DataSet.h"
#include "dataset/DbConsts.h"
#include "dataset/FieldFactory.h"
#include "dataset/StringField.h"
#include "platform/AnsiCase.h"
#include "platform/DatabaseError.h"
#include "platform/Format.h"

#include <memory>

namespace cibrano {

TFieldDef::TFieldDef(TFieldDefs* owner, const AnsiString& name, TFieldType dataType, int size,
                     int fieldNo)
    : owner_(owner), name_(name), dataType_(dataType), size_(size), fieldNo_(fieldNo) {}

void TFieldDef::changed() {
    if (owner_)
        owner_->changed();
}

void TFieldDef::setName(const AnsiString& name) {
    if (name.empty())
        databaseError(dbconsts::kFieldNameMissing, owner_ ? owner_->dataSet_ : nullptr);
    name_ = name;
    changed();
}

void TFieldDef::setDataType(TFieldType type) {
    dataType_ = type;
    changed();
}

void TFieldDef::setSize(int size) {
    if (size < 0)
        databaseError(dbconsts::kInvalidFieldSize, owner_ ? owner_->dataSet_ : nullptr);
    size_ = size;
    changed();
}

void TFieldDef::setPrecision(int precision) {
    precision_ = precision;
    changed();
}

void TFieldDef::setAttributes(TFieldAttributes attributes) {
    attributes_ = attributes;
    changed();
}

void TFieldDef::setRequired(bool value) {
    value ? attributes_.include(faRequired) : attributes_.exclude(faRequired);
    changed();
}

TField* TFieldDef::createField(TComponent* owner, TDataSet* dataSet) const {
    // Owned at once, so that a failure below destroys the half-made field and takes it off
    // its owner's list again.
    std::unique_ptr<TField> field(newFieldOfType(dataType_, owner));
    if (!field)
        databaseError(formatText(dbconsts::kUnknownFieldType, name_), dataSet);
    if (size_ > 0 || field->DataType() == ftString)
        field->setSize(size_);
    field->setFieldName(name_);
    field->setRequired(attributes_.contains(faRequired));
    field->setReadOnly(attributes_.contains(faReadonly));
    if (auto* s = dynamic_cast<TStringField*>(field.get()))
        s->setFixedChar(attributes_.contains(faFixed) || dataType_ == ftFixedChar);
    field->setDataSet(dataSet);
    return field.release();
}

TFieldDef& TFieldDefs::add(const AnsiString& name, TFieldType dataType, int size, bool required) {
    if (name.empty())
        databaseError(dbconsts::kFieldNameMissing, dataSet_);
    if (size < 0)
        databaseError(dbconsts::kInvalidFieldSize, dataSet_);
    items_.push_back(std::make_unique<TFieldDef>(this, name, dataType, size, count() + 1));
    TFieldDef& def = *items_.back();
    if (required)
        def.attributes_.include(faRequired);
    changed();
    return def;
}

void TFieldDefs::clear() {
    items_.clear();
    changed();
}

int TFieldDefs::indexOf(const AnsiString& name) const {
    for (int i = 0; i < count(); ++i)
        if (ansiSameText(items_[static_cast<size_t>(i)]->name_, name))
            return i;
    return -1;
}

TFieldDef* TFieldDefs::find(const AnsiString& name) const {
    int i = indexOf(name);
    return i < 0 ? nullptr : items_[static_cast<size_t>(i)].get();
}

void TFieldDefs::update() {
    if (updated_ || !dataSet_)
        return;
    dataSet_->describeFields();
    updated_ = true;
}

void TFieldDefs::changed() {
    if (OnChange)
        OnChange();
}

} // namespace cibrano

#pragma once
// TField: the typed view of one column of a dataset. It converts between the raw value in a
// record buffer and floats, strings and texts for display and editing, validates what is
// written, and tells the dataset and its controls when a value or a display property changes.
// The classes for each data type derive from it.

#include "dataset/DataSetTypes.h"
#include "dataset/FieldTypes.h"
#include "dataset/Variant.h"
#include "platform/AnsiString.h"
#include "platform/Component.h"
#include "platform/DateTime.h"

#include <functional>

namespace cibrano {

class TDataSet;

class TField : public TComponent {
public:
    using TFieldNotifyEvent = std::function<void(TField*)>;
    using TFieldGetTextEvent = std::function<void(TField*, AnsiString& text, bool displayText)>;
    using TFieldSetTextEvent = std::function<void(TField*, const AnsiString& text)>;

    explicit TField(TComponent* owner = nullptr);
    ~TField() override;

    // Published properties.
    const AnsiString& FieldName() const { return fieldName_; }
    void setFieldName(const AnsiString& name);
    const AnsiString& DisplayLabel() const { return displayLabel_; }
    void setDisplayLabel(const AnsiString& label);
    int DisplayWidth() const { return displayWidth_ > 0 ? displayWidth_ : defaultWidth(); }
    void setDisplayWidth(int width);
    TAlignment Alignment() const { return alignment_; }
    void setAlignment(TAlignment alignment);
    TFieldKind FieldKind() const { return fieldKind_; }
    void setFieldKind(TFieldKind kind);
    // Position in the dataset's field list (-1 without a dataset).
    int Index() const;
    void setIndex(int index);
    bool ReadOnly() const { return readOnly_; }
    void setReadOnly(bool value);
    bool Required() const { return required_; }
    void setRequired(bool value) { required_ = value; }
    bool Visible() const { return visible_; }
    void setVisible(bool value);
    // The value a new record receives (the table engine interprets it).
    const AnsiString& DefaultExpression() const { return defaultExpression_; }
    void setDefaultExpression(const AnsiString& text) { defaultExpression_ = text; }
    const AnsiString& Origin() const { return origin_; }
    void setOrigin(const AnsiString& text) { origin_ = text; }

    // Lookup fields: the value of LookupResultField in the record of LookupDataSet whose
    // LookupKeyFields equal this dataset's KeyFields.
    TDataSet* LookupDataSet() const { return lookupDataSet_; }
    void setLookupDataSet(TDataSet* dataSet);
    const AnsiString& KeyFields() const { return keyFields_; }
    void setKeyFields(const AnsiString& names);
    const AnsiString& LookupKeyFields() const { return lookupKeyFields_; }
    void setLookupKeyFields(const AnsiString& names);
    const AnsiString& LookupResultField() const { return lookupResultField_; }
    void setLookupResultField(const AnsiString& name);

    TFieldNotifyEvent OnChange;
    TFieldGetTextEvent OnGetText;
    TFieldSetTextEvent OnSetText;
    TFieldNotifyEvent OnValidate;

    TDataSet* DataSet() const { return dataSet_; }
    // Attaches the field to a dataset (which must be closed); the name must be set and unique.
    void setDataSet(TDataSet* dataSet);
    TFieldType DataType() const { return dataType_; }
    int Size() const { return size_; }
    virtual void setSize(int size);
    // 1-based column number once bound; -1 for calculated and lookup fields; 0 when unbound.
    int FieldNo() const { return fieldNo_; }
    // Offset of the field's slot (null-flag byte, then the value) in the calculated area.
    int offset() const { return offset_; }
    // Bytes of the raw value.
    virtual int dataSize() const { return 0; }
    bool isIndexField() const { return isIndexField_; }
    void setIsIndexField(bool value) { isIndexField_ = value; }
    virtual bool isBlob() const { return false; }

    // Values.
    virtual double floatValue() const;
    virtual void setFloatValue(double value);
    virtual AnsiString stringValue() const;
    virtual void setStringValue(const AnsiString& text);
    virtual int integerValue() const;
    virtual void setIntegerValue(int value);
    virtual bool booleanValue() const;
    virtual void setBooleanValue(bool value);
    virtual TDateTime dateTimeValue() const;
    virtual void setDateTimeValue(TDateTime value);

    // The value in the kind that suits the field's type (integer, float, boolean, date-time,
    // else text); null when the field has none.
    TVariant value() const;
    // Stores a value converted to the field's kind; unassigned and null clear the field.
    void setValue(const TVariant& value);

    AnsiString displayText() const;
    AnsiString editText() const;
    void setEditText(const AnsiString& text);
    // Whether a typed character may go into the field's text; every character by default.
    virtual bool acceptsChar(char c) const;
    bool isNull() const;
    virtual void clearValue();
    // Asks the control bound to this field to take the focus.
    void focusBoundControl();
    AnsiString displayName() const;
    virtual bool fieldCanModify() const;

    // Raw values, dataSize() bytes as the record buffer holds them. readRaw answers false for
    // null (the destination may be null to test only); writeRaw with no source stores null.
    bool readRaw(void* destination) const;
    void writeRaw(const void* source);
    // Whether OnValidate is running for a value about to be written: reads then give that
    // value, not the record's.
    bool validating() const { return validating_; }
    // Run by the dataset with the new raw value before storing it: OnValidate sees that value
    // when it reads the field, and raising from it stops the write.
    void validate(const void* source);
    // Run by the dataset after a value changed.
    void change();
    // Per-field temporary buffers, freed after every post, cancel and delete.
    virtual void freeBuffers() {}

protected:
    void setDataType(TFieldType type) { dataType_ = type; }
    // The class's text of the value, in display or edit mode.
    virtual AnsiString textOf(bool displayText) const;
    virtual int defaultWidth() const { return 10; }
    [[noreturn]] void accessError(const char* typeName) const;
    // A display property changed: controls of an open dataset redraw (layout true: rebuild).
    void propertyChanged(bool layout);
    // Sets a display property and tells the controls, when the value is a new one.
    template <typename T> void changeProperty(T& property, const T& value, bool layout) {
        if (property == value)
            return;
        property = value;
        propertyChanged(layout);
    }
    void checkInactive();
    TDataSet* requireDataSet() const;
    void notification(TComponent* component, TOperation operation) override;

private:
    friend class TDataSet;

    TDataSet* dataSet_ = nullptr;
    TDataSet* lookupDataSet_ = nullptr;
    AnsiString fieldName_;
    AnsiString displayLabel_;
    AnsiString defaultExpression_;
    AnsiString origin_;
    AnsiString keyFields_;
    AnsiString lookupKeyFields_;
    AnsiString lookupResultField_;
    TFieldType dataType_ = ftUnknown;
    TFieldKind fieldKind_ = fkData;
    TAlignment alignment_ = taLeftJustify;
    int displayWidth_ = 0;
    int size_ = 0;
    int fieldNo_ = 0;
    int offset_ = 0;
    bool readOnly_ = false;
    bool required_ = false;
    bool visible_ = true;
    bool isIndexField_ = false;
    bool validating_ = false;
    const void* validateSource_ = nullptr;
};

} // namespace cibrano

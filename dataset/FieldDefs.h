#pragma once
// Field definitions: the stored columns of a dataset as its engine describes them. Fields are
// created from them when a dataset opens without fields of its own, and declared fields are
// bound to them by name.

#include "dataset/FieldTypes.h"
#include "platform/AnsiString.h"

#include <functional>
#include <memory>
#include <vector>

namespace cibrano {

class TComponent;
class TDataSet;
class TField;
class TFieldDefs;

class TFieldDef {
public:
    TFieldDef(TFieldDefs* owner, const AnsiString& name, TFieldType dataType, int size,
              int fieldNo);

    const AnsiString& Name() const { return name_; }
    void setName(const AnsiString& name);
    TFieldType DataType() const { return dataType_; }
    void setDataType(TFieldType type);
    int Size() const { return size_; }
    void setSize(int size);
    int Precision() const { return precision_; }
    void setPrecision(int precision);
    TFieldAttributes Attributes() const { return attributes_; }
    void setAttributes(TFieldAttributes attributes);
    bool Required() const { return attributes_.contains(faRequired); }
    void setRequired(bool value);
    // 1-based position in the list.
    int FieldNo() const { return fieldNo_; }

    // A field of the class for the definition's type, owned by `owner` and attached to
    // `dataSet`; "Field '%s' is of an unknown type" for a type without a class.
    TField* createField(TComponent* owner, TDataSet* dataSet) const;

private:
    friend class TFieldDefs;
    void changed();

    TFieldDefs* owner_;
    AnsiString name_;
    TFieldType dataType_;
    int size_;
    int precision_ = 0;
    TFieldAttributes attributes_;
    int fieldNo_;
};

class TFieldDefs {
public:
    explicit TFieldDefs(TDataSet* dataSet) : dataSet_(dataSet) {}

    int count() const { return static_cast<int>(items_.size()); }
    TFieldDef& operator[](int index) const { return *items_.at(static_cast<size_t>(index)); }

    // Appends a definition; "Field name missing" for an empty name.
    TFieldDef& add(const AnsiString& name, TFieldType dataType, int size = 0,
                   bool required = false);
    void clear();
    int indexOf(const AnsiString& name) const; // case-insensitive; -1 when absent
    TFieldDef* find(const AnsiString& name) const;

    // Whether the list reflects the dataset's columns; update() asks the dataset to describe
    // them (describeFields) when it does not.
    bool Updated() const { return updated_; }
    void setUpdated(bool value) { updated_ = value; }
    void update();

    // Runs after every change of the list or of one of its definitions.
    std::function<void()> OnChange;

private:
    friend class TFieldDef;
    void changed();

    TDataSet* dataSet_;
    std::vector<std::unique_ptr<TFieldDef>> items_;
    bool updated_ = false;
};

} // namespace cibrano

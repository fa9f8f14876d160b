#pragma once
// The field list of a dataset: the fields in column order, looked up by name without regard
// to case. The list does not own its fields (they are components with owners of their own).

#include "platform/AnsiString.h"

#include <vector>

namespace cibrano {

class TDataSet;
class TField;

class TFields {
public:
    explicit TFields(TDataSet* dataSet) : dataSet_(dataSet) {}

    int count() const { return static_cast<int>(list_.size()); }
    TField* operator[](int index) const { return list_.at(static_cast<size_t>(index)); }
    std::vector<TField*>::const_iterator begin() const { return list_.begin(); }
    std::vector<TField*>::const_iterator end() const { return list_.end(); }

    int indexOf(const TField* field) const;
    // The field of that name, or none.
    TField* findField(const AnsiString& name) const;
    // The field of that name; "Field '%s' not found" (naming the dataset) when there is none.
    TField* fieldByName(const AnsiString& name) const;

    // Called by TField and TDataSet: the list follows the fields' dataset property.
    void add(TField* field);
    void remove(TField* field);
    void move(TField* field, int newIndex);
    void clear() { list_.clear(); }

private:
    TDataSet* dataSet_;
    std::vector<TField*> list_;
};

} // namespace cibrano

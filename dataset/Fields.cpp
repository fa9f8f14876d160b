#include "dataset/Fields.h"

#include "dataset/DataSet.h"
#include "dataset/DbConsts.h"
#include "dataset/Field.h"
#include "platform/AnsiCase.h"
#include "platform/DatabaseError.h"
#include "platform/Format.h"

#include <algorithm>

namespace cibrano {

int TFields::indexOf(const TField* field) const {
    auto it = std::find(list_.begin(), list_.end(), field);
    return it == list_.end() ? -1 : static_cast<int>(it - list_.begin());
}

TField* TFields::findField(const AnsiString& name) const {
    for (TField* f : list_)
        if (ansiSameText(f->FieldName(), name))
            return f;
    return nullptr;
}

TField* TFields::fieldByName(const AnsiString& name) const {
    TField* f = findField(name);
    if (!f)
        databaseError(formatText(dbconsts::kFieldNotFound, name), dataSet_);
    return f;
}

void TFields::add(TField* field) {
    if (indexOf(field) < 0)
        list_.push_back(field);
}

void TFields::remove(TField* field) {
    list_.erase(std::remove(list_.begin(), list_.end(), field), list_.end());
}

void TFields::move(TField* field, int newIndex) {
    int old = indexOf(field);
    if (old < 0)
        return;
    newIndex = std::clamp(newIndex, 0, count() - 1);
    if (old == newIndex)
        return;
    list_.erase(list_.begin() + old);
    list_.insert(list_.begin() + newIndex, field);
}

} // namespace cibrano

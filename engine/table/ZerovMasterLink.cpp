#include "engine/table/ZerovMasterLink.h"

#include "dataset/DataSet.h"
#include "dataset/DataSource.h"
#include "dataset/Field.h"
#include "engine/table/DOvuzaZerivir.h"
#include "engine/table/ZerovMasterLinkConst.h"
#include "platform/DatabaseError.h"

#include <algorithm>
#include <set>

namespace cibrano {

TZerovMasterLink::TZerovMasterLink(DOvuzaZerivir* detail) : detail_(detail) {}

TZerovMasterLink::~TZerovMasterLink() = default;

bool TZerovMasterLink::closesCircle(TDataSource* source) const {
    // Every dataset is visited once, so a circle elsewhere up the chain ends the walk too.
    std::set<const TDataSet*> seen;
    TDataSet* ds = source ? source->DataSet() : nullptr;
    while (ds && seen.insert(ds).second) {
        if (ds == detail_)
            return true;
        TDataSource* master = ds->masterSourceOf();
        ds = master ? master->DataSet() : nullptr;
    }
    return false;
}

void TZerovMasterLink::setMasterSource(TDataSource* source) {
    if (closesCircle(source))
        databaseError(mlmsg::CircularDataLink, detail_);
    setDataSource(source);
    TDataSet* master = source ? source->DataSet() : nullptr;
    if (master && !dynamic_cast<DOvuzaZerivir*>(master))
        databaseError(mlmsg::MasterNotTable, detail_);
}

void TZerovMasterLink::setFieldNames(const AnsiString& names) {
    if (names == fieldNames_)
        return;
    fieldNames_ = names;
    masterChanged();
}

AnsiString TZerovMasterLink::masterKeyText() const {
    AnsiString text;
    for (TField* f : fields_) {
        text += f->stringValue();
        text += '\t';
    }
    return text;
}

void TZerovMasterLink::masterChanged() {
    fields_.clear();
    if (Active())
        fields_ = dataSet()->getFieldList(fieldNames_);
    if (!detail_->Active() || detail_->isDestroying())
        return;
    if (hasMasterFields())
        applyMasterRange();
    else
        detail_->cancelRange();
}

void TZerovMasterLink::applyMasterRange() {
    // An opening detail has nothing to settle; it only takes the range with it.
    if (detail_->Active())
        detail_->settlePendingEdit();
    const AnsiString keyText = masterKeyText();
    detail_->setRange(keyText, keyText);
}

void TZerovMasterLink::assignMasterValues() {
    if (!hasMasterFields())
        return;
    const std::vector<TField*> rangeFields = detail_->getFieldList(detail_->RangeFieldNames());
    const size_t count = std::min(rangeFields.size(), fields_.size());
    for (size_t i = 0; i < count; ++i)
        rangeFields[i]->setValue(fields_[i]->value());
}

void TZerovMasterLink::notifyActiveChange() {
    masterChanged();
}

void TZerovMasterLink::notifyLayoutChange() {
    masterChanged();
}

void TZerovMasterLink::notifyCheckBrowse() {
    // The master is about to leave its record: the detail's edit belongs to that record.
    if (detail_->Active())
        detail_->settlePendingEdit();
}

void TZerovMasterLink::notifyRecordChange(TField* field) {
    TDataSet* master = dataSet();
    if (!master || master->State() == stateSetKey || !detail_->Active() || fields_.empty())
        return;
    if (field && std::find(fields_.begin(), fields_.end(), field) == fields_.end())
        return;
    if (!dynamic_cast<DOvuzaZerivir*>(master))
        return;
    applyMasterRange();
}

} // namespace cibrano

#pragma once
// TZerovMasterLink: how a table dataset (the detail) follows the current record of another
// one (the master). The detail shows only its records whose RangeFieldNames values equal the
// master's MasterFields values, by setting its range to the master's key values whenever the
// master moves or its key fields change; new detail records receive those values.
//
// The link belongs to its detail and works on it through the detail's public operations
// (settle a pending edit, set and cancel the range). The detail forwards to it: its
// MasterSource and MasterFields properties, the question whether a master range is wanted
// (hasMasterFields), the range while it opens (applyMasterRange) and the values of a new
// record (assignMasterValues).

#include "dataset/DataLink.h"
#include "platform/AnsiString.h"

#include <vector>

namespace cibrano {

class DOvuzaZerivir;
class TDataSource;
class TField;

class TZerovMasterLink : public TDataLink {
public:
    explicit TZerovMasterLink(DOvuzaZerivir* detail);
    ~TZerovMasterLink() override;

    DOvuzaZerivir* detailDataSet() const { return detail_; }

    // The detail's MasterSource. A source whose dataset is the detail or follows it (directly
    // or through its own masters) raises "Circular data link" and changes nothing. A master
    // that is not a table dataset raises "Use only DOvuzaZerivir descendants for master-detail
    // relationship" after the link has moved to it.
    TDataSource* masterSource() const { return DataSource(); }
    void setMasterSource(TDataSource* source);
    // The detail's MasterFields: the master's field names, ';'-separated.
    const AnsiString& fieldNames() const { return fieldNames_; }
    void setFieldNames(const AnsiString& names);

    // The master's fields named by fieldNames, while the link is active.
    const std::vector<TField*>& fields() const { return fields_; }
    // Whether the link is active and names master fields: the detail then wants its range.
    bool hasMasterFields() const { return Active() && !fields_.empty(); }
    // The master fields' texts, each followed by one TAB: the detail's range bounds.
    AnsiString masterKeyText() const;

    // Sets the detail's range from both bounds to the master's key values, settling a pending
    // edit of an active detail first. An opening detail calls it to start inside the range.
    void applyMasterRange();
    // Gives a new detail record the master's values: the i-th master field into the i-th
    // field of the detail's RangeFieldNames, as far as both lists go.
    void assignMasterValues();

protected:
    void notifyActiveChange() override;
    void notifyCheckBrowse() override;
    void notifyLayoutChange() override;
    void notifyRecordChange(TField* field) override;

private:
    bool closesCircle(TDataSource* source) const;
    // Rebuilds the field list and sets or cancels the detail's range accordingly.
    void masterChanged();

    DOvuzaZerivir* detail_;
    AnsiString fieldNames_;
    std::vector<TField*> fields_;
};

} // namespace cibrano

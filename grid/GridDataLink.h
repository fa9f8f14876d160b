#pragma once
// TGridDataLink: the data grid's link to its dataset. It hands every notification to the grid
// and maps the grid's columns to the dataset's fields: a growable map that starts with 8
// entries and doubles, found by field name.

#include "dataset/DataLink.h"
#include "platform/AnsiString.h"

#include <vector>

namespace cibrano {

class TCustomDBGrid;
class TField;

class TGridDataLink : public TDataLink {
public:
    // The map never grows past this many entries.
    static constexpr int kMaxMapSize = 268435455;

    explicit TGridDataLink(TCustomDBGrid* grid);

    // --- The column map --------------------------------------------------------------------
    // Sparse: an unknown name maps to no field; otherwise it raises "Field '%s' not found".
    bool SparseMap() const { return sparseMap_; }
    void setSparseMap(bool value) { sparseMap_ = value; }
    // Appends the field of that name (or none) to the map.
    void addMapping(const AnsiString& fieldName);
    void clearMapping();
    int fieldCount() const { return fieldCount_; }
    // The field of map entry i, or none.
    TField* fields(int index) const;
    // Entries the map has room for.
    int mapSize() const { return static_cast<int>(map_.size()); }
    // The size the map grows to when `count` entries fill `size`; "Grid requested to display
    // more than 256 columns" when `count` has reached the maximum.
    static int grownMapSize(int size, int count);

    // --- The editor's text -----------------------------------------------------------------
    // The grid's edit text differs from the field: set by a modifying key.
    bool isModified() const { return modified_; }
    void modified() { modified_ = true; }
    // Esc: the edit text goes back to the field's (when modified), else the dataset's edit or
    // insert is cancelled.
    void reset();
    bool inUpdateData() const { return inUpdateData_; }

protected:
    void notifyActiveChange() override;
    void notifyCheckBrowse() override;
    void notifyDatasetChange() override;
    void notifyDatasetScroll(int distance) override;
    void notifyEditingChange() override;
    void notifyFocusControl(TField** fieldRef) override;
    void notifyLayoutChange() override;
    void notifyRecordChange(TField* field) override;
    void requestUpdateData() override;

private:
    TCustomDBGrid* grid_;
    std::vector<int> map_; // field indexes, -1 for none
    int fieldCount_ = 0;
    bool sparseMap_ = false;
    bool modified_ = false;
    bool inUpdateData_ = false;
};

} // namespace cibrano

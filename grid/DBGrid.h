#pragma once
// TDBGrid: the data-aware grid as a program places it. Its options default to dgEditing,
// dgTitles, dgIndicator, dgColumnResize, dgColLines, dgRowLines, dgTabs, dgConfirmDelete and
// dgCancelOnExit.

#include "grid/CustomDBGrid.h"

namespace cibrano {

class TDBGrid : public TCustomDBGrid {
    Q_OBJECT
public:
    explicit TDBGrid(QWidget* parent = nullptr) : TCustomDBGrid(parent) {}
};

} // namespace cibrano

#pragma once
// The small types the grid family shares: grid options, cell coordinates, drawing states, the
// data grid's options and the sort markers of title buttons.

#include "platform/Set.h"

namespace cibrano {

// Options of the plain grid. The data grid derives them from its own options.
enum TGridOption {
    goFixedVertLine,
    goFixedHorzLine,
    goVertLine,
    goHorzLine,
    goRangeSelect,
    goDrawFocusSelected,
    goRowSizing,
    goColSizing,
    goRowMoving,
    goColMoving,
    goEditing,
    goTabs,
    goRowSelect,
    goAlwaysShowEditor,
    goThumbTracking,
};
using TGridOptions = TSet<TGridOption>;

// Options of the data grid, in their declared order (bit 0 first).
enum TDBGridOption {
    dgEditing,
    dgAlwaysShowEditor,
    dgTitles,
    dgIndicator,
    dgColumnResize,
    dgColLines,
    dgRowLines,
    dgTabs,
    dgRowSelect,
    dgAlwaysShowSelection,
    dgConfirmDelete,
    dgCancelOnExit,
    dgMultiSelect,
};
using TDBGridOptions = TSet<TDBGridOption>;

enum TGridDrawStateItem { gdSelected, gdFocused, gdFixed };
using TGridDrawState = TSet<TGridDrawStateItem>;

// What the mouse is doing to the grid.
enum TGridState { gsNormal, gsSelecting, gsRowSizing, gsColSizing, gsRowMoving, gsColMoving };

// A cell: X is the grid column, Y the grid row (both count the fixed ones).
struct TGridCoord {
    int X = 0;
    int Y = 0;
    bool operator==(const TGridCoord&) const = default;
};

// The marker a title button may show: none, a downward or an upward triangle.
enum TSortMarker { smNone = 0, smDown = 1, smUp = 2 };

// Whether the columns of a data grid were configured (customized) or made from the dataset's
// fields (default).
enum TDBGridColumnsState { csDefault, csCustomized };

} // namespace cibrano

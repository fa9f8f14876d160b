#pragma once
// The title-button data grid, as a program uses it: the grid, its columns, options and events.

#include "grid/CustomDBGrid.h"
#include "grid/DBGrid.h"
#include "grid/DBGridColumns.h"
#include "grid/GridTypes.h"
#include "grid/TitleDBGrid.h"

#pragma once
// The grid's bitmaps, compiled in as Qt resources: the indicator images "DBGARROW", "DBEDIT",
// "DBINSERT", "DBMULTIDOT" and "DBMULTIARROW" (masked on white) and the sort markers
// "DBG_SMDOWN" and "DBG_SMUP" (10 x 9, magenta transparent), plus "DBG_MSDOT" and
// "DBG_MSARROW". Each is loaded on first use and kept for the rest of the run.

#include <QPixmap>

namespace cibrano {

// The named bitmap with its transparent colour masked out; a null pixmap for an unknown name.
const QPixmap& gridBitmap(const char* name);
// The indicator images in the order the grid numbers them: arrow, edit, insert, multi-dot,
// multi-arrow.
const QPixmap& indicatorImage(int index);
const QPixmap& sortMarkerImage(bool up);

} // namespace cibrano

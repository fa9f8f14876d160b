#pragma once
// The table engine's messages, kept in tables so that every place raising one uses the same
// words. Texts with %s / %d are filled with formatText. Each table lives in the room that
// raises its messages; this header brings in every one of them.

#include "engine/file/FileConst.h"
#include "engine/query/ZerovParserConst.h"
#include "engine/record/ValueConst.h"
#include "engine/store/StoreConst.h"
#include "engine/table/ZerovDatasetConst.h"
#include "engine/table/ZerovMasterLinkConst.h"
#include "engine/table/ZerovTableConst.h"

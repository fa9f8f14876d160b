#pragma once
// The table engine's table module: the record store, the table dataset and what is built on
// them, new table files made from field descriptions, and the records of a table read in place.

#include "engine/file/FieldDescriptions.h"
#include "engine/file/NewTableFile.h"
#include "engine/file/ZerovCursor.h"
#include "engine/file/ZerovSession.h"
#include "engine/sort/KeyBuffer.h"
#include "engine/table/DOvuzaZerivir.h"
#include "engine/table/StoredRecord.h"
#include "engine/table/ZerovBlobStream.h"
#include "engine/table/ZerovDatabase.h"
#include "engine/table/ZerovTable.h"

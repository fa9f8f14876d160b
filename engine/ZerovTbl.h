#pragma once
// The table engine's table module: the record store, the table dataset and what is built on
// them.

#include "engine/DOvuzaZerivir.h"
#include "engine/KeyBuffer.h"
#include "engine/ZerovCursor.h"
#include "engine/ZerovSession.h"
#include "engine/ZerovBlobStream.h"
#include "engine/ZerovDatabase.h"
#include "engine/ZerovTable.h"

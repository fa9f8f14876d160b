#pragma once
// The find edit box module: the search logic of the one-line find box.

#include "engine/table/ZerovFindEdit.h"

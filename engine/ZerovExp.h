#pragma once
// Filter conditions and the wildcard masks of their LIKE relation.

#include "engine/ZerovCondition.h"
#include "engine/ZerovMask.h"
#include "engine/ZerovParserConst.h"

#pragma once
// Filter conditions and the wildcard masks of their LIKE relation.

#include "engine/query/ZerovCondition.h"
#include "engine/query/ZerovMask.h"
#include "engine/query/ZerovParserConst.h"

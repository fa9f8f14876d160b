#pragma once
// The filter language's tokenizer and condition reader.

#include "engine/query/ZerovParser.h"
#include "engine/query/ZerovParserConst.h"
#include "engine/query/ZerovToken.h"

#pragma once
// The filter language's tokenizer and condition reader.

#include "engine/ZerovParser.h"
#include "engine/ZerovParserConst.h"
#include "engine/ZerovToken.h"

#pragma once
// The table engine's algorithms: the table cipher and the CRC of its password block, and the
// conversion and comparison of field values in record buffers.

#include "engine/file/Crc16.h"
#include "engine/file/Sapphire.h"
#include "engine/record/FieldValues.h"
#include "engine/record/UniqueCode.h"

#pragma once
// The table engine's algorithms: the table cipher and the CRC of its password block, and the
// conversion and comparison of field values in record buffers.

#include "engine/Crc16.h"
#include "engine/FieldValues.h"
#include "engine/Sapphire.h"
#include "engine/UniqueCode.h"

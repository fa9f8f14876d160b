#pragma once
// The file room (engine/file/): the table file. The image reader and writer and the file
// read in pieces (TZerovCursor, the record store as a table file), the field descriptions of
// new tables and new empty table files, the Sapphire II cipher, this CRC and the session that
// remembers passwords and asks for them. It sits over the store room, whose records it reads
// and writes, and under the query and table rooms.
//
// The CRC-16 that guards the password block of an enciphered table: reflected polynomial
// 0xA001, initial value 0xFFFF, no final xor. Running it over data followed by its CRC (low
// byte first) gives 0, which is how the password check tests a deciphered block.

#include <cstddef>
#include <cstdint>

namespace cibrano {

uint16_t crc16(const uint8_t* data, size_t count);

} // namespace cibrano

#pragma once
// The CRC-16 that guards the password block of an enciphered table: reflected polynomial
// 0xA001, initial value 0xFFFF, no final xor. Running it over data followed by its CRC (low
// byte first) gives 0, which is how the password check tests a deciphered block.

#include <cstddef>
#include <cstdint>

namespace cibrano {

uint16_t crc16(const uint8_t* data, size_t count);

} // namespace cibrano

#pragma once
// The Sapphire II stream cipher that protects enciphered tables: the password block is
// enciphered with the table password, the body with the GUID text held in that block.
// Every use keys the cipher right before enciphering or deciphering, so no state carries over
// from one table operation to the next.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace cibrano {

class TSapphire {
public:
    TSapphire(); // the empty-key state
    // Wipes the card permutation and the key, so that neither outlives the cipher in memory.
    ~TSapphire();
    TSapphire(const TSapphire&) = delete;
    TSapphire& operator=(const TSapphire&) = delete;

    // Stores the key and runs the key set-up; an empty key gives the empty-key state.
    void setKey(std::string_view key);

    // In place, byte by byte, in order. A single byte is a buffer of one.
    void encipher(uint8_t* buffer, size_t count);
    void decipher(uint8_t* buffer, size_t count);

private:
    void resetToEmptyKeyState();
    uint8_t keyRandom(unsigned limit, uint8_t& runningSum, size_t& keyPosition) const;
    template <bool Encipher> void crypt(uint8_t* buffer, size_t count);

    uint8_t rotor_ = 0;
    uint8_t ratchet_ = 0;
    uint8_t avalanche_ = 0;
    uint8_t lastPlain_ = 0;
    uint8_t lastCipher_ = 0;
    uint8_t cards_[256] = {};
    std::string key_;
};

// Overwrites memory that held a secret (a key, a password, a deciphered block) in a way the
// optimiser may not drop, even right before the memory is released.
void wipeSecret(void* p, size_t n);

} // namespace cibrano

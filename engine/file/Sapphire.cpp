#include "engine/file/Sapphire.h"

#include <cstring>
#include <utility>

namespace cibrano {

void wipeSecret(void* p, size_t n) {
    volatile uint8_t* v = static_cast<volatile uint8_t*>(p);
    for (size_t i = 0; i < n; ++i)
        v[i] = 0;
}

TSapphire::TSapphire() {
    resetToEmptyKeyState();
}

TSapphire::~TSapphire() {
    wipeSecret(cards_, sizeof cards_);
    wipeSecret(key_.data(), key_.size());
}

void TSapphire::resetToEmptyKeyState() {
    rotor_ = 1;
    ratchet_ = 3;
    avalanche_ = 5;
    lastPlain_ = 7;
    lastCipher_ = 11;
    for (int i = 0; i < 256; ++i)
        cards_[i] = static_cast<uint8_t>(255 - i);
}

// The key-driven pseudo-random choice of a card index in 0..limit: a running sum of cards and
// key bytes, masked to the smallest all-ones value covering `limit`, retried while too large;
// after eleven tries the value is taken modulo `limit` so the loop always ends.
uint8_t TSapphire::keyRandom(unsigned limit, uint8_t& runningSum, size_t& keyPosition) const {
    if (limit == 0)
        return 0;
    unsigned mask = 1;
    while (mask < limit)
        mask = (mask << 1) + 1;
    unsigned retries = 0;
    unsigned u;
    do {
        runningSum =
            static_cast<uint8_t>(cards_[runningSum] + static_cast<uint8_t>(key_[keyPosition++]));
        if (keyPosition >= key_.size()) {
            keyPosition = 0;
            runningSum = static_cast<uint8_t>(runningSum + key_.size());
        }
        u = mask & runningSum;
        if (++retries > 11)
            u %= limit;
    } while (u > limit);
    return static_cast<uint8_t>(u);
}

void TSapphire::setKey(std::string_view key) {
    wipeSecret(key_.data(), key_.size());
    key_.assign(key.data(), key.size());
    if (key_.empty()) {
        resetToEmptyKeyState();
        return;
    }
    for (int i = 0; i < 256; ++i)
        cards_[i] = static_cast<uint8_t>(i);
    uint8_t runningSum = 0;
    size_t keyPosition = 0;
    for (unsigned i = 255; i >= 1; --i) {
        uint8_t r = keyRandom(i, runningSum, keyPosition);
        std::swap(cards_[i], cards_[r]);
    }
    rotor_ = cards_[1];
    ratchet_ = cards_[3];
    avalanche_ = cards_[5];
    lastPlain_ = cards_[7];
    lastCipher_ = cards_[runningSum];
}

// The byte step runs on a local copy of the state: written through `buffer`, the state
// members could alias the data, and the compiler would reload and store them around every
// byte.
template <bool Encipher> void TSapphire::crypt(uint8_t* buffer, size_t count) {
    uint8_t cards[256];
    std::memcpy(cards, cards_, sizeof cards);
    uint8_t rotor = rotor_, ratchet = ratchet_, avalanche = avalanche_;
    uint8_t lastPlain = lastPlain_, lastCipher = lastCipher_;
    for (size_t i = 0; i < count; ++i) {
        ratchet = static_cast<uint8_t>(ratchet + cards[rotor++]);
        uint8_t swapTemp = cards[lastCipher];
        cards[lastCipher] = cards[ratchet];
        cards[ratchet] = cards[lastPlain];
        cards[lastPlain] = cards[rotor];
        cards[rotor] = swapTemp;
        avalanche = static_cast<uint8_t>(avalanche + cards[swapTemp]);
        uint8_t first = cards[static_cast<uint8_t>(cards[ratchet] + cards[rotor])];
        uint8_t second = cards[cards[static_cast<uint8_t>(cards[lastPlain] + cards[lastCipher] +
                                                          cards[avalanche])]];
        uint8_t in = buffer[i];
        uint8_t out = static_cast<uint8_t>(in ^ first ^ second);
        buffer[i] = out;
        lastPlain = Encipher ? in : out;
        lastCipher = Encipher ? out : in;
    }
    std::memcpy(cards_, cards, sizeof cards);
    wipeSecret(cards, sizeof cards);
    rotor_ = rotor;
    ratchet_ = ratchet;
    avalanche_ = avalanche;
    lastPlain_ = lastPlain;
    lastCipher_ = lastCipher;
}

void TSapphire::encipher(uint8_t* buffer, size_t count) {
    crypt<true>(buffer, count);
}

void TSapphire::decipher(uint8_t* buffer, size_t count) {
    crypt<false>(buffer, count);
}

} // namespace cibrano

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
//
// The step is the textbook one, arranged for speed; every byte comes out as the textbook gives
// it. A step swaps four cards in a ring (the cards at the last cipher byte, the ratchet, the last
// plain byte and the rotor) and then reads cards among them. When the four positions differ, as
// they do in all but a few steps in a hundred, the four cards are read once into registers, the
// ring is written, and the reads after it take the registers: the CPU then need not wait for a
// card just stored before it reads it back. When two positions coincide the swap runs card by
// card, as written in the textbook. The card at the rotor that the next step adds to the ratchet
// is always the one this step put there last, so it is carried in a register too.
template <bool Encipher> void TSapphire::crypt(uint8_t* buffer, size_t count) {
    // The cards are held as words while the steps run: the CPU reads back a word it has just
    // stored sooner than a byte among its neighbours (the whole step runs about a fifth faster).
    uint32_t cards[256];
    for (int i = 0; i < 256; ++i)
        cards[i] = cards_[i];
    unsigned rotor = rotor_, ratchet = ratchet_, avalanche = avalanche_;
    unsigned lastPlain = lastPlain_, lastCipher = lastCipher_;
    unsigned atRotor = cards[rotor];
    for (size_t i = 0; i < count; ++i) {
        ratchet = (ratchet + atRotor) & 0xFF;
        rotor = (rotor + 1) & 0xFF;
        const unsigned c = lastCipher, t = ratchet, p = lastPlain, r = rotor;
        // The cards at c, t, p and r once the ring has turned, and the card the avalanche adds.
        unsigned atC, atT, atP, atR, atSwapped;
        if (c != t && c != p && c != r && t != p && t != r && p != r) [[likely]] {
            atR = cards[c];
            atC = cards[t];
            atT = cards[p];
            atP = cards[r];
            const bool inRing = atR == c || atR == t || atR == p || atR == r;
            atSwapped = cards[atR];
            cards[c] = atC;
            cards[t] = atT;
            cards[p] = atP;
            cards[r] = atR;
            if (inRing) [[unlikely]]
                atSwapped = cards[atR];
        } else {
            const unsigned swapTemp = cards[c];
            cards[c] = cards[t];
            cards[t] = cards[p];
            cards[p] = cards[r];
            cards[r] = swapTemp;
            atC = cards[c];
            atT = cards[t];
            atP = cards[p];
            atR = cards[r];
            atSwapped = cards[swapTemp];
        }
        atRotor = atR;
        avalanche = (avalanche + atSwapped) & 0xFF;
        const unsigned first = cards[(atT + atR) & 0xFF];
        const unsigned second = cards[cards[(atP + atC + cards[avalanche]) & 0xFF]];
        const unsigned in = buffer[i];
        const unsigned out = in ^ first ^ second;
        buffer[i] = static_cast<uint8_t>(out);
        lastPlain = Encipher ? in : out;
        lastCipher = Encipher ? out : in;
    }
    for (int i = 0; i < 256; ++i)
        cards_[i] = static_cast<uint8_t>(cards[i]);
    wipeSecret(cards, sizeof cards);
    rotor_ = static_cast<uint8_t>(rotor);
    ratchet_ = static_cast<uint8_t>(ratchet);
    avalanche_ = static_cast<uint8_t>(avalanche);
    lastPlain_ = static_cast<uint8_t>(lastPlain);
    lastCipher_ = static_cast<uint8_t>(lastCipher);
}

void TSapphire::encipher(uint8_t* buffer, size_t count) {
    crypt<true>(buffer, count);
}

void TSapphire::decipher(uint8_t* buffer, size_t count) {
    crypt<false>(buffer, count);
}

} // namespace cibrano

#pragma once
// A set of enumerators of one enumeration (up to 64 of them), as published properties use.

#include <cstdint>
#include <initializer_list>

namespace cibrano {

template <typename E> class TSet {
public:
    constexpr TSet() = default;
    constexpr TSet(std::initializer_list<E> items) {
        for (E e : items)
            bits_ |= bit(e);
    }

    constexpr bool contains(E e) const { return (bits_ & bit(e)) != 0; }
    constexpr bool empty() const { return bits_ == 0; }
    constexpr TSet& include(E e) {
        bits_ |= bit(e);
        return *this;
    }
    constexpr TSet& exclude(E e) {
        bits_ &= ~bit(e);
        return *this;
    }
    constexpr TSet operator+(TSet o) const { return fromBits(bits_ | o.bits_); }
    constexpr TSet operator-(TSet o) const { return fromBits(bits_ & ~o.bits_); }
    constexpr TSet operator*(TSet o) const { return fromBits(bits_ & o.bits_); }
    constexpr bool operator==(const TSet&) const = default;

private:
    static constexpr uint64_t bit(E e) { return uint64_t{1} << static_cast<unsigned>(e); }
    static constexpr TSet fromBits(uint64_t b) {
        TSet s;
        s.bits_ = b;
        return s;
    }
    uint64_t bits_ = 0;
};

} // namespace cibrano

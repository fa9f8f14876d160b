#include "engine/sort/KeyRank.h"

#include "platform/AnsiCase.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <cstring>
#include <limits>
#include <memory>

namespace cibrano {

namespace {

// How many eight-byte parts of a text after the first are kept from one read of it.
constexpr int kCarried = 1;

// A record in the ranking: the part of its key being sorted on at the moment, the length of the
// text of the key field being ranked, and the record's position in the list (the text itself is
// found by the position, see KeyRanker::texts_: the items stay small, and the sorts move them
// many times). One read of a text takes the eight bytes of the level and keeps the kCarried
// times eight after them in `next` for the levels after: the read is a miss in the cache (the
// texts of a range lie anywhere in memory), and the bytes after the first eight usually come
// with it.
struct RankItem {
    uint64_t key;
    uint64_t next[kCarried];
    uint32_t length;
    uint32_t row;
};

// A key field and how it is ranked. A number field is one level: its value as an unsigned
// number of the same order. A text field is ranked in levels: its head first when one is kept
// (the length of a right-justified text, and whether a text of kind s is there at all), then
// its bytes eight at a time.
struct RankedField {
    const TZerovField* field;
    bool isText;
    bool lengthFirst;
    bool hasHead;
};

// The words one read of a text gives an item, and the level whose words were read ahead into
// the row's tail while the text was entered (they come next, and later they would be a read
// of a text somewhere in memory for every item).
constexpr int kWordsPerRead = kCarried + 1;
constexpr int kTailLevel = kWordsPerRead;
constexpr size_t kTailDepth = size_t{8} * kTailLevel;
// The words read from a text as it is entered: those kept in the item, then the row's tail.
constexpr int kHeadWords = kTailLevel + kWordsPerRead;

// Ranges this short are ordered by an insertion sort, those up to kRadixFrom by spreading them
// by four bits at a time where they are, longer ones by spreading them by bytes into the other
// buffer. The parts of a range spread by four bits are ordered by an insertion sort from
// kSpreadInsertionBelow items down. A comparison sort would go wrong way about every other
// comparison on keys that are mostly all different (the numbers that end the names, say).
constexpr size_t kInsertionBelow = 32;
constexpr size_t kSpreadInsertionBelow = 16;
constexpr size_t kRadixFrom = 192;
// How many items ahead a text is asked for before it is read.
constexpr size_t kAhead = 24;

void insertionSort(RankItem* a, size_t n) {
    for (size_t i = 1; i < n; ++i) {
        const RankItem item = a[i];
        size_t j = i;
        for (; j > 0 && a[j - 1].key > item.key; --j)
            a[j] = a[j - 1];
        a[j] = item;
    }
}

// Spreads the n items at `from` into `to` by the digit of `Bits` bits of their keys at the
// highest place, from the digit `shift` bits up down, where the keys differ, and counts the
// items of each digit value into `count`. Answers the place's shift, or -1 when all the keys
// are the same (nothing written).
template <int Bits>
int spreadByDigit(const RankItem* from, RankItem* to, size_t n, int shift,
                  std::array<size_t, size_t{1} << Bits>& count) {
    constexpr uint64_t kDigit = (uint64_t{1} << Bits) - 1;
    uint64_t differing = 0;
    const uint64_t first = from[0].key;
    for (size_t i = 1; i < n; ++i)
        differing |= from[i].key ^ first;
    if (differing == 0)
        return -1;
    shift = std::min(shift, (63 - std::countl_zero(differing)) / Bits * Bits);
    count.fill(0);
    for (size_t i = 0; i < n; ++i)
        ++count[(from[i].key >> shift) & kDigit];
    std::array<size_t, size_t{1} << Bits> next{};
    size_t at = 0;
    for (size_t b = 0; b < count.size(); ++b) {
        next[b] = at;
        at += count[b];
    }
    for (size_t i = 0; i < n; ++i)
        to[next[(from[i].key >> shift) & kDigit]++] = from[i];
    return shift;
}

// Orders the n items at `a` by key with a most-significant-first radix sort over four bits at a
// time, from the four bits `shift` up, each pass spread into `scratch` (room for n items) and
// copied back.
void spreadByNibbles(RankItem* a, RankItem* scratch, size_t n, int shift) {
    if (n < kSpreadInsertionBelow) {
        insertionSort(a, n);
        return;
    }
    std::array<size_t, 16> count;
    shift = spreadByDigit<4>(a, scratch, n, shift, count);
    if (shift < 0)
        return;
    std::memcpy(a, scratch, n * sizeof(RankItem));
    if (shift == 0)
        return;
    size_t start = 0;
    for (const size_t c : count) {
        if (c > 1)
            spreadByNibbles(a + start, scratch + start, c, shift - 4);
        start += c;
    }
}

// Orders fewer than kRadixFrom items by key where they are.
void sortShort(RankItem* a, size_t n) {
    if (n < kInsertionBelow) {
        insertionSort(a, n);
        return;
    }
    RankItem scratch[kRadixFrom];
    spreadByNibbles(a, scratch, n, 60);
}

// Orders the n items at `from` by key into `to`, with a most-significant-byte radix sort from
// the byte `shift` bits up. `other` is room for n items in the other buffer, and `to` is either
// `from` or `other`: each pass spreads the items from one buffer into the other, and the next
// pass spreads them back.
void radixSort(RankItem* from, RankItem* other, RankItem* to, size_t n, int shift) {
    if (n < kRadixFrom) {
        sortShort(from, n);
        if (to != from)
            std::memcpy(to, from, n * sizeof(RankItem));
        return;
    }
    std::array<size_t, 256> count;
    shift = spreadByDigit<8>(from, other, n, shift, count);
    if (shift < 0) {
        if (to != from)
            std::memcpy(to, from, n * sizeof(RankItem));
        return;
    }
    if (shift == 0) {
        if (to != other)
            std::memcpy(to, other, n * sizeof(RankItem));
        return;
    }
    size_t start = 0;
    for (const size_t c : count) {
        if (c == 1 && to != other)
            to[start] = other[start];
        else if (c > 1)
            radixSort(other + start, from + start, to + start, c, shift - 8);
        start += c;
    }
}

// Orders a range whose keys take few distinct values in one pass: the distinct keys are found
// with a small hash table and sorted among themselves, then every item goes straight to the
// place of its key. Text keys are mostly like that, eight bytes of the words a table's names
// are made of. False, with the range as it was, when the keys take too many values for this to
// pay (more than a quarter of the items, or 4,096); the radix sort then orders the range.
// The items go from `from` into the same number of places at `to`, in another buffer.
class FewKeysSort {
public:
    bool sort(const RankItem* from, RankItem* to, size_t n) {
        const size_t most = std::min(kMostKeys, n / 4);
        if (most < 2)
            return false;
        if (ids_.size() < n)
            ids_.resize(n);
        clearTable();
        size_t distinct = 0;
        std::fill(next_.begin(), next_.begin() + static_cast<std::ptrdiff_t>(most), 0);
        for (size_t i = 0; i < n; ++i) {
            const uint64_t key = from[i].key;
            size_t slot = hash(key);
            while (used_[slot] && keys_[slot] != key)
                slot = (slot + 1) & kMask;
            if (!used_[slot]) {
                if (distinct == most)
                    return false;
                used_[slot] = 1;
                keys_[slot] = key;
                idAt_[slot] = static_cast<uint16_t>(distinct);
                distinctKeys_[distinct] = {key, static_cast<uint32_t>(distinct)};
                ++distinct;
            }
            const uint16_t id = idAt_[slot];
            ids_[i] = id;
            ++next_[id];
        }
        // The distinct keys in order, then where the items of each begin.
        std::sort(distinctKeys_.begin(),
                  distinctKeys_.begin() + static_cast<std::ptrdiff_t>(distinct),
                  [](const auto& a, const auto& b) { return a.first < b.first; });
        size_t at = 0;
        for (size_t k = 0; k < distinct; ++k) {
            const uint32_t id = distinctKeys_[k].second;
            const size_t count = next_[id];
            next_[id] = at;
            at += count;
        }
        for (size_t i = 0; i < n; ++i)
            to[next_[ids_[i]]++] = from[i];
        return true;
    }

private:
    static constexpr size_t kMostKeys = 4096;
    static constexpr int kTableBits = 13; // twice the keys at most: short probes
    static constexpr size_t kTableSize = size_t{1} << kTableBits;
    static constexpr size_t kMask = kTableSize - 1;

    static size_t hash(uint64_t key) {
        return static_cast<size_t>((key * 0x9E3779B97F4A7C15) >> (64 - kTableBits));
    }

    void clearTable() { std::fill(used_.begin(), used_.end(), 0); }

    std::array<uint8_t, kTableSize> used_{};
    std::array<uint64_t, kTableSize> keys_{};
    std::array<uint16_t, kTableSize> idAt_{};
    std::array<std::pair<uint64_t, uint32_t>, kMostKeys> distinctKeys_{};
    // By key id: how many items have the key, then where the next of them goes.
    std::array<size_t, kMostKeys> next_{};
    // The id of each item's key, in the order of the items.
    std::vector<uint16_t> ids_;
};

uint64_t orderedInteger(int64_t v) {
    return static_cast<uint64_t>(v) ^ (uint64_t{1} << 63);
}

// The unsigned number whose order is that of the doubles; -0.0 and 0.0 are the same number.
uint64_t orderedNumber(double v) {
    if (v == 0)
        v = 0.0;
    const auto bits = std::bit_cast<uint64_t>(v);
    return (bits >> 63) != 0 ? ~bits : bits | (uint64_t{1} << 63);
}

bool isNumberKind(uint8_t kind) {
    return kind == kindFloat || kind == kindCurrency || kind == kindDateTime;
}

class KeyRanker {
public:
    KeyRanker(const std::vector<RecordEntry*>& records, bool caseInsensitive)
        : records_(records), foldCase_(caseInsensitive) {
        for (int c = 0; c < 256; ++c) {
            const auto byte = static_cast<unsigned char>(c);
            byteOf_[byte] = caseInsensitive ? ansiUpperChar(byte) : byte;
            if (c < 0x80 && byteOf_[byte] != (c >= 'a' && c <= 'z' ? c - 0x20 : c))
                asciiFold_ = false;
        }
        // A text holds no zero byte: the zeros after its end, read with it, stay zeros.
        byteOf_[0] = 0;
    }

    // Takes the key's fields; false when their values cannot be ranked.
    bool prepare(const std::vector<KeyField>& keyFields) {
        if (records_.size() > std::numeric_limits<uint32_t>::max())
            return false;
        // A text ends at its first zero byte, so reading past its end as zeros puts a text
        // before every longer one it begins: that needs no letter to become a zero byte.
        for (int c = 1; c < 256; ++c)
            if (byteOf_[c] == 0)
                return false;
        for (const KeyField& k : keyFields) {
            const TZerovField& f = *k.field;
            if (isBlobKind(f.storageKind))
                return false;
            const bool isText = f.storageKind == kindFixedText || f.storageKind == kindText;
            const bool lengthFirst = isText && k.rightJustified;
            fields_.push_back({&f, isText, lengthFirst, lengthFirst || f.storageKind == kindText});
            if (isNumberKind(f.storageKind))
                for (const RecordEntry* e : records_)
                    if (std::isnan(readSlot<double>(slotOf(e->data, f))))
                        return false;
        }
        return true;
    }

    // Fills the ranks; false when a text is too long to be ranked here.
    bool rank(std::vector<uint32_t>& ranks, uint32_t& classCount) {
        const size_t rows = records_.size();
        std::unique_ptr<RankItem[]> items(new RankItem[rows]);
        for (size_t i = 0; i < rows; ++i)
            items[i] = {0, {}, 0, static_cast<uint32_t>(i)};
        // The other buffer: a long range is spread from the buffer it lies in into the same
        // places of this one, and goes on from there (not cleared: it is written first).
        std::unique_ptr<RankItem[]> tmp;
        // Made with `tmp`: only ranges that long are ordered by their distinct keys.
        std::unique_ptr<FewKeysSort> fewKeys;
        // Marks the first position of each group of equal keys.
        std::vector<uint8_t> starts(rows, 0);
        // The row at each position once its group is settled, in whichever buffer it was.
        std::unique_ptr<uint32_t[]> rowAt(new uint32_t[rows]);

        struct Range {
            size_t begin;
            size_t end;
            size_t field;
            int level;
            bool inTmp;          // the range lies in `tmp`, not in `items`
            bool loaded = false; // the items hold their keys of the level already
        };
        std::vector<Range> pending;
        if (!fields_.empty()) {
            pending.push_back({0, rows, 0, firstLevel(0), false});
        } else if (rows > 0) { // no key field: every key is the same
            starts[0] = 1;
            for (size_t p = 0; p < rows; ++p)
                rowAt[p] = static_cast<uint32_t>(p);
        }
        while (!pending.empty()) {
            const Range range = pending.back();
            pending.pop_back();
            bool inTmp = range.inTmp;
            RankItem* a = (inTmp ? tmp.get() : items.get()) + range.begin;
            const size_t n = range.end - range.begin;
            if (n == 1) {
                starts[range.begin] = 1;
                rowAt[range.begin] = a[0].row;
                continue;
            }
            int level = range.level;
            if (!range.loaded && !loadKeys(a, n, range.field, level))
                return false;
            if (n < kRadixFrom) {
                sortShort(a, n);
            } else {
                if (!tmp) {
                    tmp.reset(new RankItem[rows]);
                    fewKeys = std::make_unique<FewKeysSort>();
                }
                RankItem* other = (inTmp ? items.get() : tmp.get()) + range.begin;
                if (!fewKeys->sort(a, other, n))
                    radixSort(a, other, other, n, 56);
                a = other;
                inTmp = !inTmp;
            }
            for (size_t s = 0; s < n;) {
                size_t e = s + 1;
                while (e < n && a[e].key == a[s].key)
                    ++e;
                const size_t begin = range.begin + s;
                const size_t end = range.begin + e;
                if (e > s + 1 && !settles(range.field, level, a[s].key)) {
                    // The keys of a level the items carry are taken while the items are at
                    // hand, rather than in a pass of their own later.
                    const int kept = (level + 1) % kWordsPerRead;
                    if (kept != 0)
                        for (size_t k = s; k < e; ++k)
                            a[k].key = a[k].next[kept - 1];
                    pending.push_back({begin, end, range.field, level + 1, inTmp, kept != 0});
                } else if (e > s + 1 && range.field + 1 < fields_.size()) {
                    pending.push_back(
                        {begin, end, range.field + 1, firstLevel(range.field + 1), inTmp});
                } else {
                    starts[begin] = 1;
                    for (size_t k = s; k < e; ++k)
                        rowAt[range.begin + k] = a[k].row;
                }
                s = e;
            }
        }
        ranks.resize(rows);
        uint32_t count = 0;
        for (size_t p = 0; p < rows; ++p) {
            count += starts[p];
            ranks[rowAt[p]] = count - 1;
        }
        classCount = count;
        return true;
    }

private:
    int firstLevel(size_t field) const { return fields_[field].hasHead ? -1 : 0; }

    // Sets the items' keys to their part at this level of the field: the value of a number
    // field; the head of a text (the length when right-justified, then whether it is there);
    // or the bytes 8 * level.. of the text, big-endian, zeros past its end. Entering a text
    // field reads the text's place and length from the record (and may skip its head). The
    // texts of a range lie anywhere in memory, so each is asked for well before it is read (and
    // where it lies, twice as far ahead): the reads then overlap instead of waiting one after
    // the other. (The levels whose words the items carry get their keys as their ranges are
    // made, never here.)
    bool loadKeys(RankItem* a, size_t n, size_t field, int& level) {
        const RankedField& g = fields_[field];
        const TZerovField& f = *g.field;
        if (!g.isText) {
            for (size_t i = 0; i < n; ++i)
                a[i].key = valueKey(slotOf(records_[a[i].row]->data, f), f.storageKind);
            return true;
        }
        if (level == firstLevel(field))
            return enterTexts(a, n, g, level);
        if (level == kTailLevel) {
            for (size_t i = 0; i < n; ++i) {
                if (i + kAhead < n)
                    __builtin_prefetch(tail_.get() + kWordsPerRead * a[i + kAhead].row);
                const uint64_t* words = tail_.get() + kWordsPerRead * a[i].row;
                a[i].key = words[0];
                for (int k = 0; k < kCarried; ++k)
                    a[i].next[k] = words[k + 1];
            }
            return true;
        }
        const size_t depth = size_t{8} * static_cast<size_t>(level);
        const char* const* texts = texts_.get();
        for (size_t i = 0; i < n; ++i) {
            if (i + 2 * kAhead < n)
                __builtin_prefetch(texts + a[i + 2 * kAhead].row);
            if (i + kAhead < n)
                __builtin_prefetch(texts[a[i + kAhead].row] + depth);
            readBytes(a[i], texts[a[i].row], depth);
        }
        return true;
    }

    // Sets the key to the bytes depth.. of the item's text and keeps those after them.
    void readBytes(RankItem& item, const char* text, size_t depth) const {
        item.key = textKey(item, text, depth);
        for (int k = 0; k < kCarried; ++k)
            item.next[k] = textKey(item, text, depth + 8 * (k + 1));
    }

    // Reads where each item's text is and how long it is, and its first bytes while they are at
    // hand: those of the first levels into the item, those of the levels after into the row's
    // tail. A head that every item shares (all texts there, none right-justified) orders
    // nothing: then `level` moves on to the bytes.
    bool enterTexts(RankItem* a, size_t n, const RankedField& g, int& level) {
        const TZerovField& f = *g.field;
        if (!tail_) {
            tail_.reset(new uint64_t[records_.size() * kWordsPerRead]);
            texts_.reset(new const char*[records_.size()]);
        }
        bool anyMissing = false;
        for (size_t i = 0; i < n; ++i) {
            const uint8_t* slot = slotOf(records_[a[i].row]->data, f);
            const char* text;
            size_t length;
            if (f.storageKind == kindFixedText) {
                // A damaged record can fill the whole slot: its text ends there.
                text = reinterpret_cast<const char*>(slot);
                length = strnlen(text, f.dataSize);
            } else {
                text = textRefAt(slot);
                length = text ? std::strlen(text) : 0;
            }
            if (length > std::numeric_limits<uint32_t>::max())
                return false;
            texts_[a[i].row] = text;
            a[i].length = static_cast<uint32_t>(length);
            anyMissing = anyMissing || !text;
            if constexpr (std::endian::native == std::endian::little) {
                uint64_t head[kHeadWords];
                readHead(text, length, head);
                a[i].key = keyOfWord(head[0]);
                for (int k = 0; k < kCarried; ++k)
                    a[i].next[k] = keyOfWord(head[k + 1]);
                uint64_t* words = tail_.get() + kWordsPerRead * a[i].row;
                for (int k = 0; k < kWordsPerRead; ++k)
                    words[k] = keyOfWord(head[kTailLevel + k]);
            } else {
                readBytes(a[i], text, 0);
                uint64_t* words = tail_.get() + kWordsPerRead * a[i].row;
                for (int k = 0; k < kWordsPerRead; ++k)
                    words[k] = textKey(a[i], text, kTailDepth + 8 * k);
            }
        }
        if (level < 0) {
            if (!g.lengthFirst && !anyMissing) {
                level = 0;
                return true;
            }
            for (size_t i = 0; i < n; ++i)
                a[i].key =
                    (g.lengthFirst ? uint64_t{a[i].length} << 1 : 0) | (texts_[a[i].row] ? 1 : 0);
        }
        return true;
    }

    static uint64_t valueKey(const uint8_t* slot, uint8_t kind) {
        switch (kind) {
        case kindSmallint:
            return orderedInteger(readSlot<int16_t>(slot));
        case kindInteger:
        case kindDate:
        case kindTime:
        case kindAutoInc:
            return orderedInteger(readSlot<int32_t>(slot));
        case kindBoolean: // true sorts first
            return readSlot<int16_t>(slot) != 0 ? 0 : 1;
        case kindFloat:
        case kindCurrency:
        case kindDateTime:
            return orderedNumber(readSlot<double>(slot));
        default: // kinds that are never ordered: every value is the same
            return 0;
        }
    }

    uint64_t textKey(const RankItem& item, const char* text, size_t depth) const {
        if (item.length <= depth)
            return 0;
        const size_t n = std::min<size_t>(8, item.length - depth);
        const auto* bytes = reinterpret_cast<const unsigned char*>(text) + depth;
        if constexpr (std::endian::native == std::endian::little)
            return keyOfWord(littleWord(bytes, n));
        uint64_t key = 0;
        for (size_t i = 0; i < n; ++i)
            key |= uint64_t{byteOf_[bytes[i]]} << (56 - 8 * i);
        return key;
    }

    // The key of eight bytes of a text read as a little-endian word (zeros past its end):
    // upper-cased when the case is ignored, then turned big-endian so that keys order as the
    // bytes do.
    uint64_t keyOfWord(uint64_t word) const {
        if (foldCase_) {
            if (asciiFold_ && (word & kHighBits) == 0)
                word = upperAscii(word);
            else
                word = foldBytes(word);
        }
        return __builtin_bswap64(word);
    }

    // The first 32 bytes of a text of `length` bytes as four little-endian words, zeros past its
    // end. Whole words are read where the text has them; the last, partial ones come from a
    // read that ends where the text ends, shifted down into place. No test per word: the
    // lengths of names being all different, one would go wrong way often.
    static void readHead(const char* text, size_t length, uint64_t (&head)[kHeadWords]) {
        static_assert(kHeadWords == 4);
        const auto word = [](const char* p) {
            uint64_t w;
            std::memcpy(&w, p, sizeof w);
            return w;
        };
        if (length >= 32) {
            for (int k = 0; k < 4; ++k)
                head[k] = word(text + 8 * k);
        } else if (length > 16) {
            head[0] = word(text);
            head[1] = word(text + 8);
            // The text's last 16 bytes, moved down to the places from 16 on.
            const unsigned __int128 last =
                word(text + length - 16) | static_cast<unsigned __int128>(word(text + length - 8))
                                               << 64;
            const unsigned __int128 rest = last >> (8 * (32 - length));
            head[2] = static_cast<uint64_t>(rest);
            head[3] = static_cast<uint64_t>(rest >> 64);
        } else if (length >= 8) {
            head[0] = word(text);
            head[1] = length > 8 ? word(text + length - 8) >> (8 * (16 - length)) : 0;
            head[2] = head[3] = 0;
        } else {
            head[0] =
                length > 0 ? littleWord(reinterpret_cast<const unsigned char*>(text), length) : 0;
            head[1] = head[2] = head[3] = 0;
        }
    }

    // The n bytes (1 to 8) from `bytes` as a little-endian word, zeros above them. Two reads
    // that may overlap take the place of a loop over the bytes: an overlapping byte is the same
    // in both.
    static uint64_t littleWord(const unsigned char* bytes, size_t n) {
        if (n >= 4)
            return twoReads<uint32_t>(bytes, n);
        if (n >= 2)
            return twoReads<uint16_t>(bytes, n);
        return bytes[0];
    }

    // The n bytes from `bytes` (sizeof(Part) to 2 * sizeof(Part)) read as the first and the last
    // sizeof(Part) of them.
    template <typename Part> static uint64_t twoReads(const unsigned char* bytes, size_t n) {
        Part low;
        Part high;
        std::memcpy(&low, bytes, sizeof low);
        std::memcpy(&high, bytes + n - sizeof high, sizeof high);
        return low | uint64_t{high} << (8 * (n - sizeof high));
    }

    // Each byte of a little-endian word upper-cased by the table; zeros stay zeros.
    uint64_t foldBytes(uint64_t word) const {
        uint64_t folded = 0;
        for (int i = 0; i < 64; i += 8)
            folded |= uint64_t{byteOf_[(word >> i) & 0xFF]} << i;
        return folded;
    }

    // Upper-cases eight ASCII bytes at once: the bytes from 'a' to 'z' lose 0x20. Adding to a
    // byte below 0x80 sets its high bit exactly when it reaches the bound, and carries into no
    // other byte.
    static uint64_t upperAscii(uint64_t word) {
        constexpr uint64_t ones = 0x0101010101010101;
        const uint64_t fromA = word + (0x80 - 'a') * ones;
        const uint64_t pastZ = word + (0x80 - 'z' - 1) * ones;
        const uint64_t letters = fromA & ~pastZ & kHighBits;
        return word - (letters >> 2);
    }

    // Whether records that share the part of the key at this level have the same value of
    // the field: a number; a missing text; a text that ended within these eight bytes.
    bool settles(size_t field, int level, uint64_t key) const {
        if (!fields_[field].isText)
            return true;
        if (level < 0)
            return (key & 1) == 0;
        return (key & 0xFF) == 0;
    }

    const std::vector<RecordEntry*>& records_;
    static constexpr uint64_t kHighBits = 0x8080808080808080;

    std::array<unsigned char, 256> byteOf_{};
    bool foldCase_;
    // The case rule upper-cases ASCII as upperAscii does.
    bool asciiFold_ = true;
    std::vector<RankedField> fields_;
    // The bytes of the levels from kTailLevel on of the text field a row was last entered in,
    // read with its first bytes (kWordsPerRead words per row). Rows of different ranges are
    // different rows, so a range entering its next field writes only what its own rows are done
    // with.
    std::unique_ptr<uint64_t[]> tail_;
    // Where the text of the field a row was last entered in lies: null when missing; not
    // upper-cased, that happens as it is read.
    std::unique_ptr<const char*[]> texts_;
};

} // namespace

bool rankRecordKeys(const std::vector<RecordEntry*>& records, const std::vector<KeyField>& fields,
                    bool caseInsensitive, std::vector<uint32_t>& ranks, uint32_t& classCount) {
    KeyRanker ranker(records, caseInsensitive);
    return ranker.prepare(fields) && ranker.rank(ranks, classCount);
}

} // namespace cibrano

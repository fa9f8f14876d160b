#include "recipe/CrashRecovery.h"

#include "engine/ZerovAlg.h"
#include "platform/Clock.h"
#include "platform/DatabaseError.h"
#include "platform/Files.h"
#include "platform/Format.h"
#include "platform/Guid.h"
#include "recipe/RecipeCalculator.h"
#include "recipe/RecipeCalculatorMessages.h"
#include "recipe/RecipeFoodRows.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <map>
#include <optional>
#include <system_error>
#include <utility>

namespace cibrano {

namespace {

constexpr char kMagic[] = "CIBRANO-RECUPERO";
constexpr size_t kMagicSize = sizeof kMagic - 1;
constexpr uint8_t kVersion = 1;
constexpr size_t kSaltSize = 38;
constexpr size_t kHeaderSize = kMagicSize + 1 + kSaltSize;
constexpr char kCheck[] = "QUANTITA";
constexpr size_t kCheckSize = sizeof kCheck - 1;

// CRC-32 (IEEE 802.3: reflected polynomial 0xEDB88320, initial value and final xor all ones).
uint32_t crc32(std::string_view bytes) {
    static const std::array<uint32_t, 256> table = [] {
        std::array<uint32_t, 256> t{};
        for (uint32_t i = 0; i < 256; ++i) {
            uint32_t c = i;
            for (int k = 0; k < 8; ++k)
                c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            t[i] = c;
        }
        return t;
    }();
    uint32_t crc = 0xFFFFFFFFu;
    for (const char ch : bytes)
        crc = table[(crc ^ static_cast<uint8_t>(ch)) & 0xFF] ^ (crc >> 8);
    return crc ^ 0xFFFFFFFFu;
}

template <typename T> void put(std::string& out, T value) {
    uint8_t bytes[sizeof(T)];
    std::memcpy(bytes, &value, sizeof(T));
    if constexpr (std::endian::native == std::endian::big)
        std::reverse(bytes, bytes + sizeof(T));
    out.append(reinterpret_cast<const char*>(bytes), sizeof(T));
}

void putText(std::string& out, const AnsiString& text) {
    put<uint16_t>(out, static_cast<uint16_t>(text.size()));
    out.append(text.data(), text.size());
}

// Reads the enciphered part's values in order; any read past its end fails it.
class Reader {
public:
    explicit Reader(std::string_view bytes) : bytes_(bytes) {}
    template <typename T> bool get(T& value) {
        if (bytes_.size() - at_ < sizeof(T))
            return false;
        uint8_t raw[sizeof(T)];
        std::memcpy(raw, bytes_.data() + at_, sizeof(T));
        if constexpr (std::endian::native == std::endian::big)
            std::reverse(raw, raw + sizeof(T));
        std::memcpy(&value, raw, sizeof(T));
        at_ += sizeof(T);
        return true;
    }
    bool getText(AnsiString& text) {
        uint16_t size = 0;
        if (!get(size) || bytes_.size() - at_ < size)
            return false;
        text.assign(bytes_.data() + at_, size);
        at_ += size;
        return true;
    }
    size_t at() const { return at_; }

private:
    std::string_view bytes_;
    size_t at_ = 0;
};

bool sameBits(double a, double b) {
    return std::memcmp(&a, &b, sizeof a) == 0;
}

// The name a row is known by among rows of the same Gruppo and Nome.
std::string nameKey(std::string_view gruppo, std::string_view nome) {
    std::string key(gruppo);
    key += '\0';
    key += nome;
    return key;
}

} // namespace

bool RecoveredQuantity::operator==(const RecoveredQuantity& other) const {
    return Gruppo == other.Gruppo && Nome == other.Nome && place == other.place &&
           sameBits(Quantita, other.Quantita);
}

CrashRecovery::CrashRecovery(RecipeCalculator& calculator) : calc_(calculator) {}

std::string CrashRecovery::path() const {
    return calc_.databaseFolder() + kFileName;
}

std::string CrashRecovery::setAsidePath() const {
    return calc_.databaseFolder() + kSetAsideFileName;
}

AnsiString CrashRecovery::password() const {
    return calc_.Table1->Password();
}

void CrashRecovery::noteTableOpened() {
    active_ = false;
    fileRows_.clear();
    const std::optional<std::string> table =
        readWholeFile(calc_.databaseFolder() + RecipeCalculator::kTableName);
    if (!table || !calc_.Table1->Active())
        return;
    tableSize_ = table->size();
    tableCrc_ = crc32(*table);
    const FoodSlots s = foodSlots(calc_);
    std::unordered_map<std::string, int> places;
    forEachStoredRecord(*calc_.Table1, [&](const RecordEntry& e) {
        const int place = ++places[nameKey(s.gruppo.text(e.data), s.nome.text(e.data))];
        fileRows_[&e] = {place, s.quantita.number(e.data)};
    });
    active_ = true;
}

std::vector<RecoveredQuantity> CrashRecovery::differences() const {
    std::vector<RecoveredQuantity> changed;
    if (!active_ || !calc_.Table1->Active())
        return changed;
    for (const FoodRowNow& row : foodRowsAsEdited(calc_)) {
        const auto file = fileRows_.find(row.entry);
        if (file == fileRows_.end() || sameBits(file->second.quantity, row.line.Quantita))
            continue;
        changed.push_back({row.line.Gruppo, row.line.Nome, file->second.place, row.line.Quantita});
    }
    return changed;
}

std::string CrashRecovery::encode(const std::vector<RecoveredQuantity>& quantities,
                                  TDateTime written) const {
    std::string body(kCheck, kCheckSize);
    put<uint64_t>(body, tableSize_);
    put<uint32_t>(body, tableCrc_);
    put<double>(body, written);
    put<uint32_t>(body, static_cast<uint32_t>(quantities.size()));
    for (const RecoveredQuantity& q : quantities) {
        putText(body, q.Gruppo);
        putText(body, q.Nome);
        put<uint16_t>(body, static_cast<uint16_t>(q.place));
        put<double>(body, q.Quantita);
    }
    put<uint32_t>(body, crc32(body));

    const AnsiString salt = newGuidText();
    TSapphire cipher;
    cipher.setKey(password() + salt);
    cipher.encipher(reinterpret_cast<uint8_t*>(body.data()), body.size());
    std::string bytes(kMagic, kMagicSize);
    bytes += static_cast<char>(kVersion);
    bytes += salt;
    bytes += body;
    return bytes;
}

bool CrashRecovery::decode(const std::string& bytes, RecoveryFound& found) const {
    found.quantities.clear();
    if (bytes.size() < kHeaderSize || bytes.compare(0, kMagicSize, kMagic) != 0 ||
        static_cast<uint8_t>(bytes[kMagicSize]) != kVersion) {
        found.message = calcmsg::RecoveryDamaged;
        return false;
    }
    std::string body = bytes.substr(kHeaderSize);
    TSapphire cipher;
    cipher.setKey(password() + bytes.substr(kMagicSize + 1, kSaltSize));
    cipher.decipher(reinterpret_cast<uint8_t*>(body.data()), body.size());
    if (body.compare(0, kCheckSize, kCheck) != 0) {
        found.message =
            body.size() < kCheckSize ? calcmsg::RecoveryDamaged : calcmsg::RecoveryWrongPassword;
        return false;
    }
    Reader in(std::string_view(body).substr(kCheckSize));
    uint64_t size = 0;
    uint32_t crc = 0, count = 0, check = 0;
    bool ok = in.get(size) && in.get(crc) && in.get(found.written) && in.get(count);
    for (uint32_t i = 0; ok && i < count; ++i) {
        RecoveredQuantity q;
        uint16_t place = 0;
        ok = in.getText(q.Gruppo) && in.getText(q.Nome) && in.get(place) && in.get(q.Quantita) &&
             std::isfinite(q.Quantita);
        q.place = place;
        if (ok)
            found.quantities.push_back(std::move(q));
    }
    const size_t checked = kCheckSize + in.at();
    if (!ok || !in.get(check) || kCheckSize + in.at() != body.size() ||
        check != crc32(std::string_view(body).substr(0, checked))) {
        found.quantities.clear();
        found.message = calcmsg::RecoveryDamaged;
        return false;
    }
    if (size != tableSize_ || crc != tableCrc_) {
        found.quantities.clear();
        found.message = calcmsg::RecoveryOtherTable;
        return false;
    }
    return true;
}

void CrashRecovery::setAside() {
    std::error_code error;
    std::filesystem::rename(path(), setAsidePath(), error);
    if (error)
        std::filesystem::remove(path(), error);
    written_ = false;
    lastWritten_.clear();
}

RecoveryFound CrashRecovery::examine() {
    RecoveryFound found;
    if (!active_)
        return found;
    std::error_code error;
    std::filesystem::remove(setAsidePath(), error);
    const std::filesystem::path file(path());
    if (!std::filesystem::exists(file, error))
        return found;
    const auto fileTime = std::filesystem::last_write_time(file, error);
    const auto tableTime = std::filesystem::last_write_time(
        calc_.databaseFolder() + RecipeCalculator::kTableName, error);
    if (error || fileTime <= tableTime) {
        setAside();
        return found;
    }
    const std::optional<std::string> bytes = readWholeFile(path());
    RecoveryFound read;
    if (!bytes || !decode(*bytes, read)) {
        if (!bytes)
            read.message = calcmsg::RecoveryDamaged;
        setAside();
        const AnsiString name = utf8ToAnsi(path()).value_or(path());
        found.kind = RecoveryFound::refused;
        found.message = formatText(calcmsg::RecoveryRefused, name.c_str(), read.message.c_str());
        return found;
    }
    if (read.quantities.empty()) {
        setAside();
        return found;
    }
    found = std::move(read);
    found.kind = RecoveryFound::offer;
    written_ = true;
    return found;
}

int CrashRecovery::apply(const std::vector<RecoveredQuantity>& quantities) {
    settleFoodTable(calc_);
    const FoodSlots s = foodSlots(calc_);
    std::map<std::pair<std::string, int>, double> wanted;
    for (const RecoveredQuantity& q : quantities)
        wanted[{nameKey(q.Gruppo, q.Nome), q.place}] = q.Quantita;
    const size_t asked = wanted.size();

    // The rows by their names and places, as the file held them.
    std::unordered_map<const RecordEntry*, double> changes;
    size_t found = 0;
    forEachStoredRecord(*calc_.Table1, [&](const RecordEntry& e) {
        const auto row = fileRows_.find(&e);
        if (row == fileRows_.end())
            return;
        const auto hit =
            wanted.find({nameKey(s.gruppo.text(e.data), s.nome.text(e.data)), row->second.place});
        if (hit == wanted.end())
            return;
        ++found;
        if (!sameBits(s.quantita.number(e.data), hit->second))
            changes.emplace(&e, hit->second);
        wanted.erase(hit);
    });

    setFoodQuantities(calc_, changes);
    return static_cast<int>(asked - found);
}

void CrashRecovery::decline() {
    setAside();
}

void CrashRecovery::writeNow() {
    if (!active_ || kept_)
        return;
    const std::vector<RecoveredQuantity> changed = differences();
    if (changed.empty()) {
        if (written_)
            removeFile();
        return;
    }
    if (written_ && changed == lastWritten_)
        return;
    writeFileAtomically(path(), encode(changed, now()));
    written_ = true;
    lastWritten_ = changed;
}

void CrashRecovery::removeFile() {
    // A file this run never looked at (its table did not open) is not this run's to remove.
    if (kept_ || !active_)
        return;
    std::error_code error;
    std::filesystem::remove(path(), error);
    written_ = false;
    lastWritten_.clear();
}

} // namespace cibrano

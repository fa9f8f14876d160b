#pragma once
// CrashRecovery: typed quantities kept against a crash. The food table is saved only when
// the window closes; while it has unsaved changes, the quantities that differ from its file are
// written to the recovery file "alimenti.recupero" beside it, so that a run ended by a crash or
// a power cut loses none of them: the next start offers to put them back.
//
// The file, written atomically (AtomicFileWriter), all numbers little-endian:
//   "CIBRANO-RECUPERO" (16 bytes), the format's version (1 byte, 1), a new GUID text (38
//   bytes); then, enciphered with Sapphire II keyed by the table's password followed by that
//   GUID: "QUANTITA", the table file's size (8 bytes) and CRC-32 (4) as it was read at start,
//   the moment written (a TDateTime, 8), the number of rows (4) and each row: its Gruppo and
//   Nome (a 2-byte length and the bytes each), its place among the rows of that Gruppo and Nome
//   in stored order (2, from 1) and its quantity (a double, 8); last, the CRC-32 of the
//   enciphered part's plain bytes before it (4).
// A wrong password shows in "QUANTITA", damage in the CRC or the length, a table that is not
// the one the quantities were typed into in the table's size and CRC.

#include "platform/AnsiString.h"
#include "platform/DateTime.h"

#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

namespace cibrano {

class RecipeCalculator;
struct RecordEntry;

// One row's quantity in the recovery file, the row named by its Gruppo and Nome and, among rows
// of the same two, by its place in stored order (1 for the first).
struct RecoveredQuantity {
    AnsiString Gruppo;
    AnsiString Nome;
    int place = 1;
    double Quantita = 0;
    bool operator==(const RecoveredQuantity& other) const;
};

// What the start found in the folder.
struct RecoveryFound {
    enum Kind {
        // No recovery file to offer (none, or one older than the table, or one holding nothing).
        nothing,
        // Quantities to offer back.
        offer,
        // A damaged or foreign file, set aside and not applied: `message` says why.
        refused
    };
    Kind kind = nothing;
    std::vector<RecoveredQuantity> quantities;
    TDateTime written = 0;
    AnsiString message;
};

class CrashRecovery {
public:
    static constexpr const char* kFileName = "alimenti.recupero";
    // Where a recovery file goes that was refused or not applied; the next start removes it.
    static constexpr const char* kSetAsideFileName = "alimenti.recupero.scartato";
    // The longest a change waits before it is written.
    static constexpr int kWriteDelay = 3000;

    explicit CrashRecovery(RecipeCalculator& calculator);

    // Once the food table is open: notes its file (size and CRC-32) and the quantities it holds,
    // the rows by their store entries. Until then, and when the file cannot be read, nothing is
    // ever written.
    void noteTableOpened();
    bool active() const { return active_; }
    // The recovery file's path and that of the set-aside one, in the food table's folder.
    std::string path() const;
    std::string setAsidePath() const;

    // The start's look at the folder: the file set aside by the previous start is removed; a
    // recovery file not newer than the table is set aside without a word; a damaged or foreign
    // one is set aside and refused with its reason; one holding quantities is offered.
    RecoveryFound examine();
    // Puts the quantities back into the food table as unsaved changes, through its edit and
    // post with its controls held back (the totals computed once); answers how many rows the
    // table no longer holds. The file stays: it describes those changes.
    int apply(const std::vector<RecoveredQuantity>& quantities);
    // The offer declined: the file is set aside, and the next start removes it.
    void decline();

    // The quantities that differ from the file now, the record being edited as its fields hold
    // it; rows added since the start (no file holds them) are not among them.
    std::vector<RecoveredQuantity> differences() const;
    // Writes the differences when they are not what was written last; removes the file when
    // there are none. Raises EDatabaseError when the file cannot be written.
    void writeNow();
    // The changes were saved, or the run ends with none: the file goes.
    void removeFile();
    // A save failed and its changes were dropped from memory: the file, written just before,
    // is the one copy of them. It is left as it is for the next start to offer, and nothing
    // more is written or removed in this run.
    void keepForNextStart() { kept_ = true; }

    // The bytes of a recovery file, and the quantities read back from them (false with the
    // reason, one of the calcmsg texts, when they cannot be used).
    std::string encode(const std::vector<RecoveredQuantity>& quantities, TDateTime written) const;
    bool decode(const std::string& bytes, RecoveryFound& found) const;

private:
    struct FileRow {
        int place = 1;
        double quantity = 0;
    };
    AnsiString password() const;
    void setAside();

    RecipeCalculator& calc_;
    bool active_ = false;
    bool kept_ = false;
    uint64_t tableSize_ = 0;
    uint32_t tableCrc_ = 0;
    // The rows the file held at start, by entry, with their place among rows of their name.
    std::unordered_map<const RecordEntry*, FileRow> fileRows_;
    // What the file holds now, when this run wrote it.
    bool written_ = false;
    std::vector<RecoveredQuantity> lastWritten_;
};

} // namespace cibrano

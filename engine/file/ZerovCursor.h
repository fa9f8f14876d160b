#pragma once
// The record store as a table file: TZerovCursor is the store (engine/store/RecordStore.h)
// that reads itself from a table image or file and writes itself back, enciphered under its
// password when it has one. The table dataset and the tools hold their tables as this class.
//
// The member functions live in several files: ZerovCursor.cpp (making and freeing, progress),
// TableImageReader.cpp, TableFileReader.cpp (reading a file in pieces), TableImageWriter.cpp
// and TableFile.cpp.

#include "engine/file/FieldDescriptions.h"
#include "engine/store/RecordStore.h"
#include "platform/AnsiString.h"
#include "platform/Set.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace cibrano {

class TStream;
class TMemoryStream;
class TableFileSource;

enum TSaveOption { savAutoBackup, savSlowMode, savSortOnIndex };

// A field that a table file may lack because it was written before its table had the field.
// Added to a store that lacks it, it holds `initialText` in every record when it is a text
// field, and is empty otherwise.
struct AddedField {
    FieldDescription field;
    AnsiString initialText;
};
using TSaveOptions = TSet<TSaveOption>;

class TZerovCursor : public RecordStore {
public:
    // Image kinds (the byte after the total length).
    static constexpr uint8_t kPlainImage = 0x53;      // 'S'
    static constexpr uint8_t kEncipheredImage = 0x50; // 'P'
    static constexpr uint8_t kErrorImage = 0x45;      // 'E'
    static constexpr size_t kPasswordBlockSize = 40;
    // Limits of what the reader accepts, so the writer refuses anything beyond them.
    static constexpr int32_t kMaxTextLength = 8191;
    static constexpr int32_t kMaxBlobLength = (1 << 30) - 1;
    static constexpr size_t kMaxNotesLength = 32767;

    TZerovCursor() = default;
    // Clears everything (records, fields, the description section, the password block).
    ~TZerovCursor();
    TZerovCursor(const TZerovCursor&) = delete;
    TZerovCursor& operator=(const TZerovCursor&) = delete;

    // Hook set by the owning dataset: gets the percentage done (0-100) of reading or writing.
    std::function<void(int percent)> onProgress;

    // ---- Loading and saving (the table image) ----

    // Loads the image at the stream's position into the store (cleared first). Enciphered
    // bodies are deciphered in place, in the stream's memory. The message is empty on full
    // success; with PartialOpen a damaged image still succeeds and the message says what went
    // wrong.
    bool readTableImage(TMemoryStream& stream, AnsiString& message);
    // What reading a table file came to.
    enum class FileRead { loaded, refused, unreadable };
    // Loads a table file as readTableImage loads an image, reading and deciphering it a piece
    // at a time so that the file's bytes are never all in memory at once. `refused`, with the
    // message, where readTableImage answers false; `unreadable`, with the system's reason, when
    // the file cannot be opened (the store is then left as it was) or not read to its end (the
    // store is then empty).
    FileRead readTableFile(const std::string& path, AnsiString& message);
    // The same from a file already opened (engine/file/ImageReader.h).
    FileRead readTableFile(TableFileSource& file, AnsiString& message);
    // Writes the image of the store at the stream's position, enciphered when a password is
    // set (with a new body key each time); answers the image length. Raises EDatabaseError,
    // before writing anything, when the store holds what the reader would refuse.
    size_t writeTableImage(TStream& stream);
    // Writes the table file: savAutoBackup first copies the old file to ".~d" (a failed copy is
    // ignored), savSortOnIndex reorders the records by `indexFieldNames` first, savSlowMode
    // writes straight into the file instead of building the image in memory. The old file is
    // replaced only by a complete new one: a failed save raises EDatabaseError and leaves it
    // as it was.
    void saveTableFile(const std::string& fileName, TSaveOptions options, bool caseInsensitive,
                       const AnsiString& indexFieldNames);

    // Appends each of `fields` that the store has no field of that name for (compared without
    // regard to case) after its own fields, in every record, backups included; the next write
    // writes the new layout. Answers the names added. Raises EDatabaseError, changing nothing,
    // for a field the description section cannot hold or a record that would grow too large.
    std::vector<AnsiString> addMissingFields(const std::vector<AddedField>& fields);

    bool PartialOpen() const { return partialOpen_; }
    void setPartialOpen(bool value) { partialOpen_ = value; }

    const AnsiString& password() const { return password_; }
    void setPassword(const AnsiString& password) { password_ = password; }
    // The 40-byte password block: the plain GUID text and its CRC after a successful password
    // check or a write.
    const uint8_t* passwordBlock() const { return passwordBlock_; }
    // Whether the last image read or written was enciphered.
    bool isEnciphered() const { return enciphered_; }

    const AnsiString& notes() const { return notes_; }
    void setNotes(const AnsiString& notes) { notes_ = notes; }

private:
    struct ImageReader;

    void reportProgress(int64_t done, int64_t total, int& lastReported);
    bool parseFieldDescriptions(AnsiString& message);
    bool readImage(ImageReader& in, AnsiString& message);
    bool readRecord(ImageReader& in, AnsiString& message);
    size_t checkWritable() const;
    size_t writeImage(TStream& stream);

    // The length bytes of the record being read.
    std::vector<uint8_t> recordLengths_;
    bool partialOpen_ = false;
    AnsiString password_;
    uint8_t passwordBlock_[kPasswordBlockSize] = {};
    bool enciphered_ = false;
    AnsiString notes_;
};

} // namespace cibrano

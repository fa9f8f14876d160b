// Saving the record store as a table file. The file is the user's only copy of the table, so
// it is never overwritten in place: the new image goes to a temporary file beside it, which
// replaces the old file only once it is complete and flushed.

#include "engine/ZerovCursor.h"
#include "platform/Files.h"
#include "platform/Stream.h"

#include <algorithm>

namespace cibrano {

namespace {
// The memory image is pre-sized from the records; beyond this it grows as it is written.
constexpr size_t kMaxPresize = size_t{64} << 20;
} // namespace

void TZerovCursor::saveTableFile(const std::string& fileName, TSaveOptions options,
                                 bool caseInsensitive, const AnsiString& indexFieldNames) {
    // Refused before anything happens: no backup, no reordering, no file.
    checkWritable();

    if (options.contains(savAutoBackup))
        copyFileReplacing(fileName, changeFileExt(fileName, ".~d")); // no old file: no backup

    if (options.contains(savSortOnIndex))
        sortRecords(indexFieldNames, caseInsensitive);

    if (options.contains(savSlowMode)) {
        TAtomicFileStream file(fileName);
        writeImage(file);
        file.commit();
        return;
    }

    TMemoryStream image;
    size_t estimate = 64 + descriptionSection_.size() + notes_.size() +
                      entries_.size() * static_cast<size_t>(recordBufferSize_) * 5;
    image.reserve(std::min(estimate, kMaxPresize));
    writeImage(image);
    image.saveToFile(fileName);
}

} // namespace cibrano

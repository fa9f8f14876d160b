// Saving the record store as a table file. The file is the user's only copy of the table, so
// it is never overwritten in place: the new image goes to a temporary file beside it, which
// replaces the old file only once it is complete and flushed.

#include "engine/file/ZerovCursor.h"
#include "platform/Files.h"
#include "platform/Stream.h"

namespace cibrano {

void TZerovCursor::saveTableFile(const std::string& fileName, TSaveOptions options,
                                 bool caseInsensitive, const AnsiString& indexFieldNames) {
    // Refused before anything happens: no backup, no reordering, no file.
    const size_t imageBound = checkWritable();

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

    // Room for the whole image at once: growing the memory as it is written would copy it.
    TMemoryStream image;
    image.reserve(imageBound);
    writeImage(image);
    image.saveToFile(fileName);
}

} // namespace cibrano

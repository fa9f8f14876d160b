#include "engine/file/NewTableFile.h"

#include "engine/file/ZerovCursor.h"
#include "platform/DatabaseError.h"
#include "platform/FileNameText.h"
#include "platform/Stream.h"

namespace cibrano {

bool startEmptyTable(TZerovCursor& store, const std::vector<FieldDescription>& fields,
                     AnsiString& message) {
    TMemoryStream image;
    writeNewTableImage(image, fields);
    image.setPosition(0);
    return store.readTableImage(image, message);
}

void createTableFile(const std::string& path, const std::vector<FieldDescription>& fields,
                     const AnsiString& password) {
    // The store reads the new image as any table is read, so that the file written is the
    // one the store would save after opening it: same description section, same checks.
    TZerovCursor store;
    AnsiString message;
    if (!startEmptyTable(store, fields, message))
        databaseError("Error creating table " + fileNameText(path) + ": " + message);
    store.setPassword(password);
    store.saveTableFile(path, {}, false, "");
}

} // namespace cibrano

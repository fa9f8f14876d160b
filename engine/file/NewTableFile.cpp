#include "engine/file/NewTableFile.h"

#include "engine/file/ZerovCursor.h"
#include "platform/DatabaseError.h"
#include "platform/FileNameText.h"
#include "platform/Stream.h"

namespace cibrano {

void createTableFile(const std::string& path, const std::vector<FieldDescription>& fields,
                     const AnsiString& password) {
    // The store reads the new image as any table is read, so that the file written is the
    // one the store would save after opening it: same description section, same checks.
    TZerovCursor store;
    TMemoryStream image;
    writeNewTableImage(image, fields);
    image.setPosition(0);
    AnsiString message;
    if (!store.readTableImage(image, message))
        databaseError("Error creating table " + fileNameText(path) + ": " + message);
    store.setPassword(password);
    store.saveTableFile(path, {}, false, "");
}

} // namespace cibrano

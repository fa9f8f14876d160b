#pragma once
// Making a new, empty table file from field descriptions: the image a table in lmClear mode
// starts from, enciphered under a password when one is given, written as every save writes
// (a temporary file beside the target, then renamed over it), so that a failure leaves no
// half-written file and an existing file as it was.

#include "engine/file/FieldDescriptions.h"
#include "platform/AnsiString.h"

#include <string>
#include <vector>

namespace cibrano {

class TZerovCursor;

// Sets `store` up as an empty table of these fields, read from the image a new table starts
// from, so that it holds the fields exactly as a saved and reopened file of them would. Answers
// false, with the reason in `message`, for fields the file cannot describe.
bool startEmptyTable(TZerovCursor& store, const std::vector<FieldDescription>& fields,
                     AnsiString& message);

// Writes the empty table at `path`, replacing a file already there. Raises EDatabaseError for
// fields the file cannot describe (before anything is written) and when the file cannot be
// written; the message then names the file.
void createTableFile(const std::string& path, const std::vector<FieldDescription>& fields,
                     const AnsiString& password);

} // namespace cibrano

#pragma once
// File names in messages. The file system takes names as bytes, UTF-8 on this system; messages
// are 8-bit text (Windows-1252). A name put into a message goes through fileNameText, so that
// the user reads it as typed; the bytes handed to the file system are never changed.

#include "platform/AnsiString.h"

#include <string_view>

namespace cibrano {

// The name as message text:
// - ASCII stays byte for byte (every message about a plain name reads as it always did);
// - each UTF-8 character Windows-1252 holds becomes its byte ("Città" stays "Città");
// - a UTF-8 character it cannot hold shows as one "?" (the message stays readable and one
//   character long where the name has one);
// - bytes that are no UTF-8 at all are kept as they are: such a name was most likely written in
//   an 8-bit code page, and reads right as Windows-1252.
// The system's own texts (its error descriptions) are UTF-8 too and go through it as well.
AnsiString fileNameText(std::string_view name);

} // namespace cibrano

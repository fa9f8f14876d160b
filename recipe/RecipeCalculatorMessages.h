#pragma once
// The main window's messages to the user about the food table's quantities, in Italian and in
// Windows-1252: an accented letter is written as its byte, "\xE0" for a grave a.

namespace cibrano::calcmsg {

// Asked before "Azzera tutte le quantità" zeroes quantities: one food, or several.
inline constexpr const char* ZeroOneQuestion = "Azzerare la quantit\xE0 di 1 alimento?";
inline constexpr const char* ZeroManyQuestion = "Azzerare le quantit\xE0 di %d alimenti?";

} // namespace cibrano::calcmsg

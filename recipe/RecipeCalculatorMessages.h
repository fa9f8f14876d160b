#pragma once
// The main window's messages to the user about the food table's quantities (zeroing them, and
// putting back those a run that ended badly left unsaved), in Italian and in Windows-1252: an
// accented letter is written as its byte, "\xE0" for a grave a.

namespace cibrano::calcmsg {

// Asked before "Azzera tutte le quantità" zeroes quantities: one food, or several.
inline constexpr const char* ZeroOneQuestion = "Azzerare la quantit\xE0 di 1 alimento?";
inline constexpr const char* ZeroManyQuestion = "Azzerare le quantit\xE0 di %d alimenti?";

// At start, when the recovery file holds quantities typed and never saved.
inline constexpr const char* RecoveryQuestion =
    "Il programma non si \xE8 chiuso normalmente: le quantit\xE0 di %d alimenti, scritte il %s, "
    "non sono state salvate.\nRimetterle nella tabella degli alimenti?";
// After the quantities were put back, when some foods are no longer in the table.
inline constexpr const char* RecoveryMissing =
    "%d alimenti del file di recupero non sono pi\xF9 nella tabella: le loro quantit\xE0 non "
    "sono state rimesse.";
// A recovery file that cannot be used; the reason follows. It is never applied.
inline constexpr const char* RecoveryRefused =
    "Il file di recupero %s non \xE8 stato usato perch\xE9 %s. Le quantit\xE0 che conteneva non "
    "sono state rimesse nella tabella.";
inline constexpr const char* RecoveryDamaged = "\xE8 danneggiato";
inline constexpr const char* RecoveryWrongPassword =
    "\xE8 cifrato con una password diversa da quella della tabella";
inline constexpr const char* RecoveryOtherTable =
    "appartiene a un'altra versione della tabella degli alimenti";
inline constexpr const char* RecoveryNotWritten =
    "Il file di recupero %s non si pu\xF2 scrivere (%s): le quantit\xE0 non salvate non sono "
    "protette da un'interruzione del programma.";

} // namespace cibrano::calcmsg

#pragma once
// The recipe book's messages to the user, in Italian and in Windows-1252 (the program's 8-bit
// text): accented letters are written as their byte, "\xE0" for a grave a.

namespace cibrano::bookmsg {

inline constexpr const char* NameEmpty = "Il nome della ricetta non pu\xF2 essere vuoto.";
inline constexpr const char* NameTooLong =
    "Il nome della ricetta pu\xF2 avere al massimo %d caratteri.";
inline constexpr const char* NameTaken = "Esiste gi\xE0 una ricetta di nome \"%s\".";
inline constexpr const char* ServingsRange =
    "Le porzioni devono essere un numero intero da 1 a %d.";
inline constexpr const char* FinalWeightRange =
    "Il peso finale \xE8 in grammi: un numero maggiore di 0 e al massimo %s, oppure vuoto "
    "(la somma dei grammi degli ingredienti).";
inline constexpr const char* GramsZero = "La quantit\xE0"
                                         " di un ingrediente deve essere un numero diverso da 0.";
inline constexpr const char* NoQuantities = "Nessun alimento della tabella ha una quantit\xE0"
                                            " diversa da 0: non c'\xE8 una ricetta da salvare.";
inline constexpr const char* NoSuchRecipe = "La ricetta numero %d non esiste pi\xF9.";
inline constexpr const char* NotOpen = "Il ricettario non \xE8 aperto.";
inline constexpr const char* FileUnreadable =
    "Il file del ricettario %s non si pu\xF2 leggere: %s\n"
    "Il ricettario resta in sola lettura fino alla chiusura del programma e il file non viene "
    "modificato.";
inline constexpr const char* WithoutFoodTable =
    "Il ricettario \xE8 stato aperto senza la tabella degli alimenti: si pu\xF2 solo leggere.";
// A book read without a food table is read for the command-line tool, which speaks as the
// engine's messages do.
inline constexpr const char* NotABookFile = "not a file of the recipe book (%s)";
inline constexpr const char* ReadOnly = "Il ricettario \xE8 in sola lettura.\n%s";
inline constexpr const char* CannotWrite =
    "Il ricettario non si pu\xF2 salvare in %s: %s\nLa modifica \xE8 stata annullata.";
inline constexpr const char* MissingFoods =
    "Questi ingredienti non sono nella tabella degli alimenti e non sono stati caricati:";

// The questions the book's windows ask before a change.
inline constexpr const char* ReplaceNameQuestion =
    "Esiste gi\xE0 una ricetta di nome \"%s\".\nSostituirla con la ricetta corrente?";
inline constexpr const char* ReplaceQuantitiesQuestion =
    "La tabella degli alimenti ha gi\xE0 delle quantit\xE0 diverse da 0.\nSostituirle con la "
    "ricetta \"%s\"?";
inline constexpr const char* FinalWeightQuestion =
    "Il peso finale di %s g \xE8 molto diverso dai %s g degli ingredienti (meno di un decimo o "
    "pi\xF9 di dieci volte).\nTenerlo?";
inline constexpr const char* DeleteQuestion = "Eliminare la ricetta \"%s\"?";

} // namespace cibrano::bookmsg

#pragma once
// The food card's texts and messages to the user ("Scheda alimento"), in Italian and in
// Windows-1252: an accented letter is written as its byte, "\xE8" for a grave e (a string is
// split where a hex digit would follow the byte).

namespace cibrano::cardmsg {

// The card's title, its tick box of a value not known, and the sentence it shows on a food
// table of the seven fields.
inline constexpr const char* Title = "Scheda alimento";
inline constexpr const char* Unknown = "non noto";
inline constexpr const char* OnlyGridValues =
    "La tabella degli alimenti non ha altri valori: solo i quattro della griglia.";

// Opening the card.
inline constexpr const char* NotOpen =
    "La tabella degli alimenti non \xE8 aperta: non c'\xE8 una scheda da aprire.";
inline constexpr const char* NoRow =
    "La tabella degli alimenti non mostra nessun alimento: non c'\xE8 una scheda da aprire.";
inline constexpr const char* NoSuchFood =
    "Nella tabella degli alimenti non c'\xE8 l'alimento \"%s\" del gruppo \"%s\": la sua "
    "scheda non si pu\xF2 aprire.";
inline constexpr const char* RowGone =
    "L'alimento non \xE8 pi\xF9 nella tabella degli alimenti: la scheda non \xE8 stata salvata.";

// What is typed: the group and the name, and a value (its heading first).
inline constexpr const char* GroupTooLong =
    "Il gruppo ha %d caratteri: la tabella degli alimenti ne tiene al massimo %d.";
inline constexpr const char* NameTooLong =
    "Il nome ha %d caratteri: la tabella degli alimenti ne tiene al massimo %d.";
inline constexpr const char* NameEmpty = "Il nome dell'alimento non pu\xF2 essere vuoto.";
inline constexpr const char* NotANumber = "%s: \"%s\" non \xE8 un numero.";
inline constexpr const char* Negative = "%s: il valore non pu\xF2 essere negativo.";
inline constexpr const char* Empty =
    "%s: scrivere un valore (anche 0) o spuntare \"non noto\" se non si conosce.";
inline constexpr const char* UnknownRefused =
    "%s: la tabella degli alimenti non tiene i valori non noti; scrivere un valore.";
inline constexpr const char* MissingTooLong =
    "L'elenco dei valori non noti (%s) non entra nel campo Mancanti della tabella, che tiene "
    "%d caratteri.";

// A part above the whole it belongs to: saturates above fats, sugars above carbohydrates.
inline constexpr const char* SaturatesAboveFats =
    "I grassi saturi (%s g) sono pi\xF9 dei lipidi (%s g), di cui fanno parte.\n"
    "Salvare comunque la scheda?";
inline constexpr const char* SugarsAboveCarbohydrates =
    "Gli zuccheri (%s g) sono pi\xF9 dei glucidi (%s g), di cui fanno parte.\n"
    "Salvare comunque la scheda?";

} // namespace cibrano::cardmsg

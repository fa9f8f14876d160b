#pragma once
// Qt's own texts in the program's language: the standard buttons of its message boxes ("Sì",
// "No"), its file and print dialogs, the edit menu of its line edits. They come from the
// translations installed with Qt (Debian's qt6-translations-l10n), read from Qt's translations
// folder. The program's own texts, and the engine's messages, are not Qt's and stay as written.

#include <QLocale>

namespace cibrano {

// Installs Qt's translations for `language` in the application object (which owns them), once
// per language; answers whether they were found. Without them Qt's texts stay in English.
bool installQtTranslations(const QLocale& language);

} // namespace cibrano

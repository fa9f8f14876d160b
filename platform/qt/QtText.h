#pragma once
// The one place where text crosses between Qt's Unicode and the 8-bit Windows-1252 text of
// the engine and the framework. Text going out is always representable; text coming in is
// refused when it holds a character that Windows-1252 cannot represent, never turned into "?".

#include "platform/AnsiString.h"

#include <QChar>
#include <QString>
#include <optional>

namespace cibrano {

QString toQt(const AnsiString& text);
// Nothing when `text` holds a character outside Windows-1252.
std::optional<AnsiString> fromQt(const QString& text);
// Whether one typed character can be held; the byte it becomes in `byte`.
bool ansiCharFromQt(QChar c, char& byte);
// Whether every character of `text` can be held.
inline bool isAnsiRepresentable(const QString& text) {
    return fromQt(text).has_value();
}

} // namespace cibrano

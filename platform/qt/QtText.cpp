#include "platform/qt/QtText.h"

namespace cibrano {

QString toQt(const AnsiString& text) {
    const std::string utf8 = ansiToUtf8(text);
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

std::optional<AnsiString> fromQt(const QString& text) {
    const QByteArray utf8 = text.toUtf8();
    return utf8ToAnsi(std::string_view(utf8.constData(), static_cast<size_t>(utf8.size())));
}

bool ansiCharFromQt(QChar c, char& byte) {
    const auto converted = fromQt(QString(c));
    if (!converted || converted->size() != 1)
        return false;
    byte = (*converted)[0];
    return true;
}

} // namespace cibrano

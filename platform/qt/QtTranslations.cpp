#include "platform/qt/QtTranslations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

namespace cibrano {

bool installQtTranslations(const QLocale& language) {
    QCoreApplication* app = QCoreApplication::instance();
    if (!app)
        return false;
    const QString name = QStringLiteral("qtbase_") + language.name();
    for (QTranslator* installed : app->findChildren<QTranslator*>(name, Qt::FindDirectChildrenOnly))
        if (!installed->isEmpty())
            return true;
    auto* translator = new QTranslator(app);
    translator->setObjectName(name);
    if (!translator->load(language, QStringLiteral("qtbase"), QStringLiteral("_"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath)) ||
        !QCoreApplication::installTranslator(translator)) {
        delete translator;
        return false;
    }
    return true;
}

} // namespace cibrano

#include "sheet/SheetApplication.h"

#include "platform/DatabaseError.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLibraryInfo>

namespace cibrano {

namespace {

// Whether Qt will find its offscreen platform plugin where it looks for platform plugins.
QtMessageHandler previousHandler = nullptr;

// Qt's remark that it picked a runtime folder of its own says nothing to someone making a
// sheet on the command line; everything else goes on to the handler that was there.
void sheetMessageHandler(QtMsgType type, const QMessageLogContext& context, const QString& text) {
    if (type == QtWarningMsg && text.startsWith(QLatin1String("QStandardPaths:")))
        return;
    if (previousHandler)
        previousHandler(type, context, text);
}

bool offscreenPluginFound() {
    QStringList folders;
    const QByteArray pluginPath = qgetenv("QT_QPA_PLATFORM_PLUGIN_PATH");
    if (!pluginPath.isEmpty())
        folders +=
            QString::fromLocal8Bit(pluginPath).split(QDir::listSeparator(), Qt::SkipEmptyParts);
    const QByteArray paths = qgetenv("QT_PLUGIN_PATH");
    for (const QString& p :
         QString::fromLocal8Bit(paths).split(QDir::listSeparator(), Qt::SkipEmptyParts))
        folders += p + "/platforms";
    folders += QLibraryInfo::path(QLibraryInfo::PluginsPath) + "/platforms";
    for (const QString& folder : folders)
        if (!QDir(folder).entryList({"*qoffscreen*"}, QDir::Files).isEmpty())
            return true;
    return false;
}

} // namespace

void ensureSheetApplication() {
    if (QCoreApplication::instance()) {
        if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
            databaseError("La scheda si disegna solo in un programma con un'applicazione grafica "
                          "di Qt.");
        return;
    }
    if (!offscreenPluginFound())
        databaseError("La scheda non si pu\xF2 disegnare: manca il modulo \"offscreen\" delle "
                      "piattaforme di Qt (libqoffscreen.so).");
    // Kept for the life of the process, as Qt expects of its application object; the
    // command-line choice of platform overrides QT_QPA_PLATFORM, whatever it names.
    static int argc = 3;
    static char name[] = "cibrano", option[] = "-platform", platform[] = "offscreen";
    static char* argv[] = {name, option, platform, nullptr};
    previousHandler = qInstallMessageHandler(sheetMessageHandler);
    new QGuiApplication(argc, argv);
}

} // namespace cibrano

#include "app/SheetActions.h"

#include "platform/DatabaseError.h"
#include "platform/UiServices.h"
#include "platform/qt/CommandErrors.h"
#include "platform/qt/QtText.h"
#include "recipe/RecipeCsv.h"
#include "sheet/SheetPainter.h"
#include "sheet/SheetPdf.h"

#include <QDir>
#include <QFileDialog>
#include <QMenu>
#include <QPageLayout>
#include <QPageSize>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QStandardPaths>

namespace cibrano {

namespace {

SheetDialogs& dialogs() {
    static SheetDialogs d;
    return d;
}

QString askSaveFileName(QWidget* parent, const QString& caption, const QString& proposed,
                        const QString& filter) {
    if (dialogs().saveFileName)
        return dialogs().saveFileName(parent, caption, proposed, filter);
    return QFileDialog::getSaveFileName(parent, caption, proposed, filter);
}

bool askPrinter(QWidget* parent, QPrinter& printer) {
    if (dialogs().choosePrinter)
        return dialogs().choosePrinter(parent, printer);
    QPrintDialog dialog(&printer, parent);
    dialog.setWindowTitle(QStringLiteral("Stampa della scheda"));
    return dialog.exec() == QDialog::Accepted;
}

// The file chosen for an export, with the suffix added when the name has none; empty when
// cancelled.
QString chooseExportFile(QWidget* parent, const RecipeSheetData& sheet, const QString& caption,
                         const QString& suffix, const QString& filter) {
    return chooseExportPath(parent, caption, proposedExportPath(toQt(sheet.name), suffix), suffix,
                            filter);
}

} // namespace

QString chooseExportPath(QWidget* parent, const QString& caption, const QString& proposed,
                         const QString& suffix, const QString& filter) {
    QString path = askSaveFileName(parent, caption, proposed, filter);
    if (!path.isEmpty() && QFileInfo(path).suffix().isEmpty())
        path += suffix;
    return path;
}

QString safeFileName(const QString& name) {
    QString safe;
    for (QChar c : name) {
        const bool forbidden =
            c.unicode() < 32 || c.unicode() == 127 || QStringLiteral("/\\:*?\"<>|").contains(c);
        safe += forbidden ? QChar('_') : c;
    }
    safe = safe.left(100);
    while (!safe.isEmpty() && (safe.front() == ' ' || safe.front() == '.'))
        safe.remove(0, 1);
    while (!safe.isEmpty() && (safe.back() == ' ' || safe.back() == '.'))
        safe.chop(1);
    return safe.isEmpty() ? QStringLiteral("ricetta") : safe;
}

QString proposedExportPath(const QString& recipeName, const QString& suffix) {
    QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (folder.isEmpty())
        folder = QDir::homePath();
    return QDir(folder).filePath(safeFileName(recipeName) + suffix);
}

bool printRecipeSheet(QWidget* parent, const RecipeSheetData& sheet) {
    try {
        QPrinter printer(QPrinter::HighResolution);
        printer.setPageLayout(
            QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(0, 0, 0, 0)));
        printer.setFullPage(true);
        printer.setDocName(toQt(sheetTitle(sheet)));
        printer.setCreator(QStringLiteral("Cibrano"));
        if (!askPrinter(parent, printer))
            return false;
        if (paintRecipeSheet(printer, sheet) == 0) {
            reportError(EDatabaseError("La stampante non ha accettato la scheda."));
            return false;
        }
        return true;
    } catch (const std::exception& e) {
        reportError(e);
        return false;
    }
}

bool exportRecipeSheetPdf(QWidget* parent, const RecipeSheetData& sheet) {
    bool written = false;
    runReportingErrors([&] {
        const QString path =
            chooseExportFile(parent, sheet, QStringLiteral("Esporta la scheda in PDF"),
                             QStringLiteral(".pdf"), QStringLiteral("Documenti PDF (*.pdf)"));
        if (path.isEmpty())
            return;
        writeRecipeSheetPdf(sheet, path.toStdString());
        written = true;
    });
    return written;
}

bool exportRecipeSheetCsv(QWidget* parent, const RecipeSheetData& sheet) {
    bool written = false;
    runReportingErrors([&] {
        const QString path = chooseExportFile(
            parent, sheet, QStringLiteral("Esporta la ricetta in CSV"), QStringLiteral(".csv"),
            QStringLiteral("Valori separati da virgole (*.csv)"));
        if (path.isEmpty())
            return;
        writeRecipeCsv(sheet, path.toStdString());
        written = true;
    });
    return written;
}

std::optional<RecipeSheetData> currentRecipeSheet(RecipeCalculator& calculator,
                                                  const RecipeBook* book) {
    try {
        RecipeSheetData sheet =
            book ? currentQuantitiesSheet(*book, calculator) : currentQuantitiesSheet(calculator);
        if (sheet.lines.empty()) {
            reportError(EDatabaseError("Nessun alimento della tabella ha una quantit\xE0 diversa "
                                       "da 0: non c'\xE8 una ricetta di cui fare la scheda."));
            return std::nullopt;
        }
        return sheet;
    } catch (const std::exception& e) {
        reportError(e);
        return std::nullopt;
    }
}

QMenu* attachSheetMenu(QPushButton* button,
                       std::function<std::optional<RecipeSheetData>()> source) {
    auto* menu = new QMenu(button);
    QWidget* parent = button->window();
    auto add = [&](const QString& text, bool (*command)(QWidget*, const RecipeSheetData&)) {
        QObject::connect(menu->addAction(text), &QAction::triggered, button,
                         [source, parent, command] {
                             runReportingErrors([&] {
                                 if (const std::optional<RecipeSheetData> sheet = source())
                                     command(parent, *sheet);
                             });
                         });
    };
    add(QStringLiteral("&Stampa\u2026"), printRecipeSheet);
    add(QStringLiteral("Esporta &PDF\u2026"), exportRecipeSheetPdf);
    add(QStringLiteral("Esporta &CSV\u2026"), exportRecipeSheetCsv);
    button->setMenu(menu);
    return menu;
}

void setSheetDialogsForTesting(SheetDialogs d) {
    dialogs() = std::move(d);
}

} // namespace cibrano

// The plain C++ side of the sheet: a PDF made in memory, then written as every export is.

#include "sheet/SheetPdf.h"

#include "platform/DatabaseError.h"
#include "platform/qt/QtText.h"
#include "sheet/SheetApplication.h"
#include "sheet/SheetPainter.h"

#include <QBuffer>
#include <QPageLayout>
#include <QPageSize>
#include <QPdfWriter>

namespace cibrano {

std::string recipeSheetPdf(const RecipeSheetData& sheet) {
    ensureSheetApplication();
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter pdf(&buffer);
        pdf.setResolution(300);
        pdf.setPageLayout(
            QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(0, 0, 0, 0)));
        pdf.setTitle(toQt(sheetTitle(sheet)));
        pdf.setCreator(QStringLiteral("Cibrano"));
        if (paintRecipeSheet(pdf, sheet) == 0)
            databaseError("La scheda non si \xE8 potuta disegnare.");
    }
    buffer.close();
    return std::string(buffer.data().constData(), static_cast<size_t>(buffer.data().size()));
}

void writeRecipeSheetPdf(const RecipeSheetData& sheet, const std::string& path) {
    writeExportFile(path, recipeSheetPdf(sheet));
}

} // namespace cibrano

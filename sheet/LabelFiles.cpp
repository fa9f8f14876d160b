#include "sheet/LabelFiles.h"

#include "platform/DatabaseError.h"
#include "platform/qt/QtText.h"
#include "recipe/RecipeSheetData.h"
#include "sheet/LabelPainter.h"
#include "sheet/SheetApplication.h"

#include <QBuffer>
#include <QImage>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>

#include <cmath>

namespace cibrano {

namespace {

// The PDF's resolution: fine enough for the thinnest rule.
constexpr int kPdfDpi = 1200;
constexpr double kMmPerInch = 25.4;
constexpr double kPointsPerMm = 72 / kMmPerInch;

std::string bytesOf(const QBuffer& buffer) {
    return std::string(buffer.data().constData(), static_cast<size_t>(buffer.data().size()));
}

} // namespace

int labelPixels(double mm) {
    return static_cast<int>(std::lround(mm / kMmPerInch * kLabelPngDpi));
}

std::string nutritionLabelPdf(const LabelLayout& layout) {
    ensureSheetApplication();
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter pdf(&buffer);
        pdf.setResolution(kPdfDpi);
        // A PDF page of Qt's is a whole number of points: the next one up, so that nothing of
        // the label is cut.
        const QSize points(static_cast<int>(std::ceil(layout.width * kPointsPerMm)),
                           static_cast<int>(std::ceil(layout.height * kPointsPerMm)));
        pdf.setPageLayout(
            QPageLayout(QPageSize(points, QStringLiteral("Etichetta"), QPageSize::ExactMatch),
                        QPageLayout::Portrait, QMarginsF(0, 0, 0, 0)));
        pdf.setTitle(toQt(layout.title));
        pdf.setCreator(QStringLiteral("Cibrano"));
        QPainter painter;
        if (!painter.begin(&pdf))
            databaseError("L'etichetta non si \xE8 potuta disegnare.");
        const double dotsPerMm = kPdfDpi / kMmPerInch;
        painter.fillRect(QRectF(0, 0, layout.width * dotsPerMm, layout.height * dotsPerMm),
                         Qt::white);
        paintLabel(painter, layout, dotsPerMm);
        painter.end();
    }
    buffer.close();
    return bytesOf(buffer);
}

std::string nutritionLabelPng(const LabelLayout& layout) {
    ensureSheetApplication();
    const QImage image = labelImage(layout, kLabelPngDpi / kMmPerInch);
    if (image.isNull())
        databaseError("L'etichetta non si \xE8 potuta disegnare.");
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    if (!image.save(&buffer, "PNG"))
        databaseError("L'etichetta non si \xE8 potuta scrivere in PNG.");
    buffer.close();
    return bytesOf(buffer);
}

void writeNutritionLabelPdf(const LabelLayout& layout, const std::string& path) {
    writeExportFile(path, nutritionLabelPdf(layout));
}

void writeNutritionLabelPng(const LabelLayout& layout, const std::string& path) {
    writeExportFile(path, nutritionLabelPng(layout));
}

} // namespace cibrano

#include "sheet/SheetPainter.h"

#include "platform/DateTimeText.h"
#include "platform/qt/QtFonts.h"
#include "platform/qt/QtText.h"
#include "recipe/Nutrients.h"
#include "recipe/RecipeEnergy.h"
#include "sheet/EnergyChartPainter.h"

#include <QFontMetricsF>
#include <QPagedPaintDevice>
#include <QPainter>

#include <algorithm>
#include <array>

namespace cibrano {

namespace {

const QColor kInk(20, 20, 20);
const QColor kMuted(90, 90, 90);
const QColor kRule(170, 170, 170);
const QColor kBand(238, 238, 238);

constexpr double kMargin = 50;      // left, right and top, in points
constexpr double kFooterSpace = 46; // from the bottom edge to the lowest line of content
constexpr double kCellPadding = 3;

// Lays out and (unless only counting pages) paints the sheet, a page at a time.
class SheetWriter {
public:
    SheetWriter(QPagedPaintDevice& device, QPainter* painter, const RecipeSheetData& sheet,
                int pageCount)
        : device_(device), painter_(painter), sheet_(sheet), pageCount_(pageCount) {
        scale_ = device.logicalDpiX() / 72.0;
        pageWidth_ = device.width() / scale_;
        pageHeight_ = device.height() / scale_;
    }

    int run() {
        y_ = kMargin;
        header();
        totals();
        energy();
        ingredients();
        footer();
        return page_;
    }

private:
    // --- Drawing in points -------------------------------------------------------------------
    QFont font(double points, bool bold = false) const {
        QFont f;
        f.setFamilies(sansSerifSubstitutes());
        f.setStyleHint(QFont::SansSerif);
        f.setPixelSize(std::max(1, static_cast<int>(points * scale_ + 0.5)));
        f.setBold(bold);
        return f;
    }
    QRectF px(const QRectF& r) const {
        return QRectF(r.x() * scale_, r.y() * scale_, r.width() * scale_, r.height() * scale_);
    }
    // The height a text takes in `width` points, wrapped at words.
    double textHeight(const QString& text, const QFont& f, double width) const {
        QFontMetricsF fm(f, &device_);
        return fm.boundingRect(QRectF(0, 0, width * scale_, 1e6), Qt::TextWordWrap, text).height() /
               scale_;
    }
    void text(const QRectF& r, const QString& s, const QFont& f, int flags,
              const QColor& colour = kInk) {
        if (!painter_)
            return;
        painter_->setFont(f);
        painter_->setPen(colour);
        painter_->drawText(px(r), flags, s);
    }
    // A paragraph at the current line, wrapped to the content width; moves down past it.
    void paragraph(const QString& s, const QFont& f, const QColor& colour = kInk,
                   double left = kMargin) {
        const double width = pageWidth_ - kMargin - left;
        const double h = textHeight(s, f, width);
        text(QRectF(left, y_, width, h), s, f, Qt::TextWordWrap | Qt::AlignLeft, colour);
        y_ += h;
    }
    void fill(const QRectF& r, const QColor& colour) {
        if (painter_)
            painter_->fillRect(px(r), colour);
    }
    void rule(double y, const QColor& colour = kRule) {
        if (!painter_)
            return;
        painter_->setPen(QPen(colour, 0.6 * scale_));
        painter_->drawLine(QPointF(kMargin * scale_, y * scale_),
                           QPointF((pageWidth_ - kMargin) * scale_, y * scale_));
    }
    double contentWidth() const { return pageWidth_ - 2 * kMargin; }
    double bottom() const { return pageHeight_ - kFooterSpace; }

    void footer() {
        const double y = pageHeight_ - kFooterSpace + 14;
        rule(y);
        const QFont f = font(8);
        const QRectF line(kMargin, y + 4, contentWidth(), 12);
        text(line, QStringLiteral("Cibrano \u2014 Scheda nutrizionale"), f,
             Qt::AlignLeft | Qt::AlignTop, kMuted);
        text(line, QStringLiteral("Pagina %1 di %2").arg(page_).arg(std::max(pageCount_, page_)), f,
             Qt::AlignRight | Qt::AlignTop, kMuted);
    }
    void newPage() {
        footer();
        if (painter_)
            device_.newPage();
        ++page_;
        y_ = kMargin;
        const QFont f = font(9);
        paragraph(toQt(sheetTitle(sheet_)), f, kMuted);
        y_ += 10;
    }
    void section(const QString& title) {
        y_ += 14;
        paragraph(title, font(12, true));
        y_ += 4;
    }

    // --- The parts of the sheet ----------------------------------------------------------------
    void header() {
        paragraph(QStringLiteral("SCHEDA NUTRIZIONALE"), font(9, true), kMuted);
        y_ += 4;
        paragraph(toQt(sheet_.name), font(18, true));
        y_ += 4;
        const QString date = toQt(formatDate(sheet_.date));
        QString line = QStringLiteral("Porzioni: %1").arg(sheet_.servings);
        // A kept recipe without a recorded date shows none.
        if (!sheet_.kept)
            line +=
                QStringLiteral("     Quantit\u00e0 della tabella degli alimenti al %1").arg(date);
        else if (sheet_.date > 0 && !date.isEmpty())
            line += QStringLiteral("     Salvata il %1").arg(date);
        paragraph(line, font(10), kMuted);
        y_ += 6;
        rule(y_);
    }

    // One row per nutrient, in the order the windows show them; a column each for the recipe,
    // a serving and 100 g of the finished dish.
    void totals() {
        section(QStringLiteral("Valori nutrizionali"));
        const RecipeValues& v = sheet_.values;
        const std::array<QString, 3> heads = {
            QStringLiteral("Ricetta (%1 g)").arg(toQt(formatRecipeValue(v.weight()))),
            toQt(perServingHeading(v)), QStringLiteral("Per 100 g")};
        const std::array<std::vector<AnsiString>, 3> columns = {
            shownTotalsTexts(v.totals), shownTotalsTexts(v.perServing), per100gTexts(v)};
        const double labelWidth = 160;
        const double valueWidth = (contentWidth() - labelWidth) / 3;
        const QFont head = font(9, true), body = font(10);
        const double h = 17;
        fill(QRectF(kMargin, y_, contentWidth(), h), kBand);
        for (size_t c = 0; c < heads.size(); ++c)
            text(QRectF(kMargin + labelWidth + c * valueWidth, y_, valueWidth - kCellPadding, h),
                 heads[c], head, Qt::AlignRight | Qt::AlignVCenter);
        y_ += h;
        for (size_t r = 0; r < kShownOrder.size(); ++r) {
            const Nutrient& n = kNutrients[kShownOrder[r]];
            const QString label = n.unit ? QStringLiteral("%1 (%2)").arg(n.heading, n.unit)
                                         : QString::fromLatin1(n.heading);
            text(QRectF(kMargin + kCellPadding, y_, labelWidth, h), label, body,
                 Qt::AlignLeft | Qt::AlignVCenter);
            for (size_t c = 0; c < columns.size(); ++c)
                text(
                    QRectF(kMargin + labelWidth + c * valueWidth, y_, valueWidth - kCellPadding, h),
                    toQt(columns[c][r]), body, Qt::AlignRight | Qt::AlignVCenter);
            y_ += h;
            rule(y_, kBand.darker(110));
        }
        y_ += 5;
        paragraph(toQt(recipeWeightText(v)), font(9), kMuted);
        const std::vector<AnsiString> missing = missingValuesTexts(sheet_.lines);
        if (!missing.empty()) {
            y_ += 3;
            paragraph(toQt(incompleteTotalsNote()), font(9), kMuted);
            for (const AnsiString& m : missing)
                paragraph(toQt(m), font(9), kInk);
        }
    }

    void energy() {
        section(QStringLiteral("Da dove viene l'energia"));
        const EnergySplit split = energySplit(sheet_.values.totals);
        const double side = 150;
        const QRectF pie(kMargin + 10, y_ + 4, side, side);
        if (painter_)
            paintEnergyPie(*painter_, px(pie), split);
        // The legend beside the pie: colour, nutrient, share, kilocalories.
        const double left = pie.right() + 30;
        const double width = pageWidth_ - kMargin - left;
        const QFont name = font(11, true), body = font(10);
        double y = pie.top() + 10;
        for (EnergyPart part : kEnergyParts) {
            fill(QRectF(left, y + 3, 8, 8), energyColor(part));
            const QString share = split.drawable() ? toQt(formatShare(energyShare(split, part)))
                                                   : QStringLiteral("\u2014");
            text(QRectF(left + 14, y, 80, 14), energyPartName(part), name,
                 Qt::AlignLeft | Qt::AlignVCenter);
            text(QRectF(left + 94, y, 70, 14), share, name, Qt::AlignRight | Qt::AlignVCenter);
            text(QRectF(left + 174, y, width - 174, 14),
                 QStringLiteral("%1 kcal").arg(toQt(formatRecipeValue(energyKcal(split, part)))),
                 body, Qt::AlignLeft | Qt::AlignVCenter, kMuted);
            y += 22;
        }
        const double saved = y_;
        y_ = y + 4;
        const QFont small = font(9);
        auto note = [&](const QString& s, const QColor& colour) {
            if (s.isEmpty())
                return;
            const double h = textHeight(s, small, width);
            text(QRectF(left, y_, width, h), s, small, Qt::TextWordWrap | Qt::AlignLeft, colour);
            y_ += h + 5;
        };
        note(QStringLiteral("Somma con i fattori: %1 kcal; kcal della tabella: %2.")
                 .arg(toQt(formatRecipeValue(split.sum)), toQt(formatRecipeValue(split.tableKcal))),
             kInk);
        note(toQt(energyFactorsText()), kMuted);
        note(toQt(energyEmptyNote(split)), kInk);
        note(toQt(energyDifferenceNote(split)), kInk);
        y_ = std::max(y_, std::max(saved, pie.bottom() + 8));
    }

    void ingredientHeading(const QString& title) {
        section(title);
        const QFont head = font(9, true);
        fill(QRectF(kMargin, y_, contentWidth(), 16), kBand);
        text(QRectF(kMargin + kCellPadding, y_, groupWidth_, 16), QStringLiteral("Gruppo"), head,
             Qt::AlignLeft | Qt::AlignVCenter);
        text(QRectF(kMargin + groupWidth_ + kCellPadding, y_, nameWidth(), 16),
             QStringLiteral("Nome"), head, Qt::AlignLeft | Qt::AlignVCenter);
        text(QRectF(pageWidth_ - kMargin - gramsWidth_, y_, gramsWidth_ - kCellPadding, 16),
             QStringLiteral("Grammi"), head, Qt::AlignRight | Qt::AlignVCenter);
        y_ += 16;
    }
    double nameWidth() const { return contentWidth() - groupWidth_ - gramsWidth_; }

    void ingredients() {
        const QString title =
            QStringLiteral("Ingredienti (%1)").arg(static_cast<int>(sheet_.lines.size()));
        // The heading never stays alone at the foot of a page.
        if (y_ + 70 > bottom())
            newPage();
        ingredientHeading(title);
        const QFont body = font(10);
        if (sheet_.lines.empty()) {
            y_ += 4;
            paragraph(QStringLiteral("Nessun ingrediente."), body, kMuted);
            return;
        }
        for (const RecipeLine& line : sheet_.lines) {
            const QString group = toQt(line.Gruppo), name = toQt(line.Nome);
            const double h = std::max(textHeight(group, body, groupWidth_ - 2 * kCellPadding),
                                      textHeight(name, body, nameWidth() - 2 * kCellPadding)) +
                             2 * kCellPadding;
            if (y_ + h > bottom()) {
                newPage();
                ingredientHeading(QStringLiteral("Ingredienti (continua)"));
            }
            const int flags = Qt::TextWordWrap | Qt::AlignLeft | Qt::AlignTop;
            text(QRectF(kMargin + kCellPadding, y_ + kCellPadding, groupWidth_ - 2 * kCellPadding,
                        h),
                 group, body, flags);
            text(QRectF(kMargin + groupWidth_ + kCellPadding, y_ + kCellPadding,
                        nameWidth() - 2 * kCellPadding, h),
                 name, body, flags);
            text(QRectF(pageWidth_ - kMargin - gramsWidth_, y_ + kCellPadding,
                        gramsWidth_ - kCellPadding, h),
                 toQt(formatRecipeValue(line.Quantita)), body, Qt::AlignRight | Qt::AlignTop);
            y_ += h;
            rule(y_, kBand.darker(110));
        }
        y_ += 6;
        paragraph(QStringLiteral("Totale: %1 g").arg(toQt(formatRecipeValue(sheet_.values.grams))),
                  font(10, true));
    }

    QPagedPaintDevice& device_;
    QPainter* painter_;
    const RecipeSheetData& sheet_;
    const int pageCount_;
    double scale_ = 1;
    double pageWidth_ = 0, pageHeight_ = 0;
    double y_ = 0;
    int page_ = 1;
    const double groupWidth_ = 150;
    const double gramsWidth_ = 80;
};

} // namespace

int paintRecipeSheet(QPagedPaintDevice& device, const RecipeSheetData& sheet) {
    // First the pages are counted (for "Pagina N di M"), then painted.
    const int pages = SheetWriter(device, nullptr, sheet, 0).run();
    QPainter painter;
    if (!painter.begin(&device))
        return 0;
    SheetWriter(device, &painter, sheet, pages).run();
    painter.end();
    return pages;
}

} // namespace cibrano

#include "recipe/LabelLayout.h"

#include "platform/DatabaseError.h"
#include "platform/Format.h"
#include "recipe/LabelFontMetrics.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cmath>
#include <optional>

namespace cibrano {

namespace {

// Sizes in ems of the body type, unless said otherwise.
constexpr double kMargin = 1.0;         // mm around the box
constexpr double kBoxRule = 0.3;        // mm
constexpr double kHeaderRule = 0.35;    // mm, under the column headings
constexpr double kRowRule = 0.12;       // mm, between rows
constexpr double kPadX = 0.3;           // room left and right in a cell
constexpr double kPadY = 0.22;          // room above and below a cell's lines
constexpr double kLineHeight = 1.2;     // one line of type
constexpr double kBaseline = 0.95;      // the baseline under a line's top
constexpr double kIndent = 0.8;         // a "di cui" row's text
constexpr double kHeadingSize = 1.15;   // the heading's type
constexpr double kNoteSize = 0.9;       // the notes' type
constexpr double kSizePerWidth = 0.038; // body type per mm of width (2.66 mm at 70 mm)
constexpr double kLeastSize = 2.2;      // mm: an x-height of 1.2 mm in this typeface
constexpr double kMostSize = 4.4;
constexpr double kSmallestSize = 1.0;

// The words of a text that may go on separate lines: it breaks at blanks, but not after a
// digit ("8 400", "250 g").
std::vector<AnsiString> breakableWords(const AnsiString& text) {
    std::vector<AnsiString> words;
    AnsiString word;
    for (size_t i = 0; i < text.size(); ++i) {
        const bool afterDigit = i > 0 && std::isdigit(static_cast<unsigned char>(text[i - 1]));
        if (text[i] == ' ' && !afterDigit) {
            if (!word.empty())
                words.push_back(word);
            word.clear();
        } else {
            word += text[i];
        }
    }
    if (!word.empty())
        words.push_back(word);
    return words;
}

// The text in lines no wider than `room` where words allow.
std::vector<AnsiString> wrapped(const AnsiString& text, double size, bool bold, double room) {
    std::vector<AnsiString> lines;
    for (const AnsiString& word : breakableWords(text)) {
        if (!lines.empty() && labelTextWidth(lines.back() + " " + word, size, bold) <= room)
            lines.back() += " " + word;
        else
            lines.push_back(word);
    }
    if (lines.empty())
        lines.push_back(AnsiString());
    return lines;
}

double widestWord(const AnsiString& text, double size, bool bold) {
    double widest = 0;
    for (const AnsiString& word : breakableWords(text))
        widest = std::max(widest, labelTextWidth(word, size, bold));
    return widest;
}

// A cell's lines, each a line of type.
struct Cell {
    std::vector<AnsiString> lines;
    bool bold = false;
    // Left (the row texts) or right (the values).
    LabelAlign align = LabelAlign::Right;
    double indent = 0;
};

struct Row {
    std::array<Cell, 4> cells;
    bool header = false;
};

class Builder {
public:
    Builder(LabelLayout& layout, double size) : out_(layout), size_(size) {
        left_ = kMargin;
        right_ = layout.width - kMargin;
        y_ = kMargin;
    }

    void text(double x, double y, double size, bool bold, LabelAlign align, double room,
              const AnsiString& content) {
        // A text wider than its room even alone on its line is set smaller.
        const double width = labelTextWidth(content, size, bold);
        if (width > room && width > 0)
            size *= room / width;
        out_.texts.push_back({x, y, size, bold, align, room, content});
    }
    void rule(double y, double width) { out_.rules.push_back({left_, y, right_, y, width}); }

    // A paragraph across the box, wrapped, with a cell's room above and below it.
    void paragraph(const AnsiString& content, double size, bool bold, LabelAlign align) {
        const double pad = kPadX * size_;
        const double room = right_ - left_ - 2 * pad;
        y_ += kPadY * size_;
        for (const AnsiString& line : wrapped(content, size, bold, room)) {
            const double x = align == LabelAlign::Centre ? (left_ + right_) / 2 : left_ + pad;
            text(x, y_ + kBaseline * size, size, bold, align, room, line);
            y_ += kLineHeight * size;
        }
        y_ += kPadY * size_;
    }

    void row(const Row& r, const std::array<double, 5>& edges) {
        size_t lines = 1;
        for (const Cell& c : r.cells)
            lines = std::max(lines, c.lines.size());
        const double pad = kPadX * size_;
        const double top = y_ + kPadY * size_;
        for (size_t i = 0; i < 4; ++i) {
            const Cell& c = r.cells[i];
            const double room = edges[i + 1] - edges[i] - 2 * pad - c.indent;
            const double x =
                c.align == LabelAlign::Left ? edges[i] + pad + c.indent : edges[i + 1] - pad;
            for (size_t k = 0; k < c.lines.size(); ++k)
                if (!c.lines[k].empty())
                    text(x, top + (static_cast<double>(k) * kLineHeight + kBaseline) * size_, size_,
                         c.bold, c.align, room, c.lines[k]);
        }
        y_ = top + static_cast<double>(lines) * kLineHeight * size_ + kPadY * size_;
    }

    double left_, right_, y_;

private:
    LabelLayout& out_;
    double size_;
};

Cell valueCell(const AnsiString& first, const AnsiString& second = AnsiString()) {
    Cell c;
    c.lines.push_back(first);
    if (!second.empty())
        c.lines.push_back(second);
    return c;
}

// The table's rows before their texts are wrapped: the headings and each declaration row.
std::vector<Row> tableRows(const NutritionDeclaration& d) {
    std::vector<Row> rows;
    Row header;
    header.header = true;
    header.cells[1].lines = {kPer100gHeading};
    header.cells[2].lines = {d.perPortionHeading};
    header.cells[3].lines = {kReferenceIntakeHeading};
    for (Cell& c : header.cells)
        c.bold = true;
    rows.push_back(header);
    for (const DeclarationRow& dr : d.rows) {
        Row r;
        r.cells[0].lines = {dr.item->text};
        r.cells[0].align = LabelAlign::Left;
        const bool energy = dr.item->nutrient == nKjoule;
        r.cells[1] = valueCell(dr.per100g, energy ? dr.per100gKcal : AnsiString());
        r.cells[2] = valueCell(dr.perPortion, energy ? dr.perPortionKcal : AnsiString());
        r.cells[3] = valueCell(dr.referenceIntake);
        if (dr.item->partOf)
            r.cells[0].indent = kIndent;
        rows.push_back(r);
    }
    return rows;
}

// The column edges for body type of `size`, the row texts and headings wrapped to them; none
// when the table does not fit.
std::optional<std::array<double, 5>> columns(std::vector<Row>& rows, double size, double left,
                                             double right) {
    const double pad = kPadX * size;
    std::array<double, 4> width{};
    // The values never wrap; the headings and row texts wrap at their words.
    for (const Row& r : rows)
        for (size_t i = 0; i < 4; ++i) {
            const Cell& c = r.cells[i];
            for (const AnsiString& line : c.lines) {
                const bool breaks = r.header || i == 0;
                const double w =
                    breaks ? widestWord(line, size, c.bold) : labelTextWidth(line, size, c.bold);
                width[i] = std::max(width[i], w + 2 * pad + c.indent * size);
            }
        }
    const double values = width[1] + width[2] + width[3];
    const double labels = right - left - values;
    if (labels < width[0])
        return std::nullopt;
    // The values' columns widen to their headings where there is room, the last one first.
    double spare = labels - width[0];
    for (size_t i : {3u, 1u, 2u}) {
        const Cell& h = rows[0].cells[i];
        const double natural = labelTextWidth(h.lines[0], size, true) + 2 * pad;
        const double more = std::min(spare * 0.5, std::max(0.0, natural - width[i]));
        width[i] += more;
        spare -= more;
    }
    std::array<double, 5> edges{};
    edges[4] = right;
    for (size_t i = 3; i >= 1; --i)
        edges[i] = edges[i + 1] - width[i];
    edges[0] = left;
    for (Row& r : rows)
        for (size_t i = 0; i < 4; ++i) {
            Cell& c = r.cells[i];
            c.indent *= size;
            if (r.header || i == 0) {
                const double room = edges[i + 1] - edges[i] - 2 * pad - c.indent;
                c.lines = wrapped(c.lines.empty() ? AnsiString() : c.lines[0], size, c.bold, room);
            }
        }
    return edges;
}

} // namespace

void checkLabelWidth(double widthMm) {
    if (!(widthMm >= kMinLabelWidth && widthMm <= kMaxLabelWidth))
        databaseError(formatText("La larghezza dell'etichetta \xE8 in millimetri, da %d a %d.",
                                 static_cast<int>(kMinLabelWidth),
                                 static_cast<int>(kMaxLabelWidth)));
}

LabelLayout labelLayout(const NutritionDeclaration& d, double widthMm) {
    checkLabelWidth(widthMm);
    LabelLayout layout;
    layout.width = widthMm;
    layout.title = AnsiString(kDeclarationHeading) + " \x97 " + d.recipeName;

    // The largest type, from the width's own, at which the table fits.
    double size = std::clamp(widthMm * kSizePerWidth, kLeastSize, kMostSize);
    std::vector<Row> rows;
    std::optional<std::array<double, 5>> edges;
    for (;; size *= 0.95) {
        rows = tableRows(d);
        edges = columns(rows, size, kMargin, widthMm - kMargin);
        if (edges || size < kSmallestSize)
            break;
    }
    if (!edges) {
        // Not even the smallest type fits (never at 40 mm): the widths as they come, each
        // text narrowed to its room.
        rows = tableRows(d);
        for (Row& row : rows)
            row.cells[0].indent *= size;
        const double w = (widthMm - 2 * kMargin) / 4;
        edges = std::array<double, 5>{kMargin, kMargin + w, kMargin + 2 * w, kMargin + 3 * w,
                                      widthMm - kMargin};
    }

    Builder b(layout, size);
    const double boxTop = b.y_;
    b.paragraph(kDeclarationHeading, size * kHeadingSize, true, LabelAlign::Left);
    if (!d.complete) {
        b.rule(b.y_, kRowRule);
        b.paragraph(kIncompleteDeclaration, size, true, LabelAlign::Centre);
    }
    b.rule(b.y_, kRowRule);
    for (size_t i = 0; i < rows.size(); ++i) {
        b.row(rows[i], *edges);
        b.rule(b.y_, i == 0 ? kHeaderRule : kRowRule);
    }
    b.paragraph(kReferenceIntakeNote, size * kNoteSize, false, LabelAlign::Left);
    if (!d.complete) {
        b.rule(b.y_, kRowRule);
        b.paragraph(incompleteTotalsNote(), size * kNoteSize, false, LabelAlign::Left);
    }
    const double boxBottom = b.y_;
    const double l = kMargin, r = widthMm - kMargin;
    for (const LabelRule& side : {LabelRule{l, boxTop, r, boxTop, kBoxRule},
                                  LabelRule{l, boxBottom, r, boxBottom, kBoxRule},
                                  LabelRule{l, boxTop, l, boxBottom, kBoxRule},
                                  LabelRule{r, boxTop, r, boxBottom, kBoxRule}})
        layout.rules.push_back(side);
    // The rule under the last paragraph is the box's.
    layout.height = boxBottom + kMargin;
    return layout;
}

} // namespace cibrano

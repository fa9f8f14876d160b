#include "recipe/LabelSvg.h"

#include <cstdio>

namespace cibrano {

namespace {

// A length in mm as SVG user units (the view box is in mm).
std::string mm(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.3f", value);
    std::string s = text;
    while (s.back() == '0')
        s.pop_back();
    if (s.back() == '.')
        s.pop_back();
    return s == "-0" ? "0" : s;
}

// Windows-1252 text as XML character data.
std::string xmlText(const AnsiString& text) {
    std::string out;
    for (char c : ansiToUtf8(text)) {
        switch (c) {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        case '"':
            out += "&quot;";
            break;
        default:
            // XML holds no control characters.
            out += static_cast<unsigned char>(c) < 0x20 ? ' ' : c;
        }
    }
    return out;
}

const char* anchorOf(LabelAlign align) {
    switch (align) {
    case LabelAlign::Right:
        return "end";
    case LabelAlign::Centre:
        return "middle";
    case LabelAlign::Left:
        break;
    }
    return "start";
}

} // namespace

std::string labelSvg(const LabelLayout& layout) {
    const std::string w = mm(layout.width), h = mm(layout.height);
    std::string svg = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                      "<svg xmlns=\"http://www.w3.org/2000/svg\" version=\"1.1\" width=\"" +
                      w + "mm\" height=\"" + h + "mm\" viewBox=\"0 0 " + w + " " + h + "\">\n";
    svg += "<title>" + xmlText(layout.title) + "</title>\n";
    svg += "<rect x=\"0\" y=\"0\" width=\"" + w + "\" height=\"" + h + "\" fill=\"#ffffff\"/>\n";
    svg += "<g stroke=\"#000000\" stroke-linecap=\"square\" fill=\"none\">\n";
    for (const LabelRule& r : layout.rules)
        svg += "<line x1=\"" + mm(r.x1) + "\" y1=\"" + mm(r.y1) + "\" x2=\"" + mm(r.x2) +
               "\" y2=\"" + mm(r.y2) + "\" stroke-width=\"" + mm(r.width) + "\"/>\n";
    svg += "</g>\n";
    svg += std::string("<g font-family=\"") + kLabelFontFamily + ", " + kLabelFontFallbacks +
           "\" fill=\"#000000\">\n";
    for (const LabelText& t : layout.texts)
        svg += "<text x=\"" + mm(t.x) + "\" y=\"" + mm(t.y) + "\" font-size=\"" + mm(t.size) +
               "\"" + (t.bold ? " font-weight=\"bold\"" : "") +
               (t.align == LabelAlign::Left
                    ? std::string()
                    : std::string(" text-anchor=\"") + anchorOf(t.align) + "\"") +
               " xml:space=\"preserve\">" + xmlText(t.text) + "</text>\n";
    svg += "</g>\n</svg>\n";
    return svg;
}

} // namespace cibrano

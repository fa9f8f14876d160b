#include "platform/Csv.h"

#include <charconv>
#include <cmath>
#include <cstdio>

namespace cibrano {

CsvReader::CsvReader(std::string_view text) : text_(text) {
    if (text_.substr(0, 3) == "\xEF\xBB\xBF")
        pos_ = 3;
}

bool CsvReader::next(CsvRecord& record) {
    record.cells.clear();
    // Blank lines between records carry nothing.
    while (pos_ < text_.size() && (text_[pos_] == '\n' || text_[pos_] == '\r')) {
        if (text_[pos_] == '\n' || pos_ + 1 >= text_.size() || text_[pos_ + 1] != '\n')
            ++line_;
        ++pos_;
    }
    if (pos_ >= text_.size())
        return false;
    record.line = line_;

    std::string cell;
    for (;;) {
        cell.clear();
        if (pos_ < text_.size() && text_[pos_] == '"') {
            const int opened = line_;
            ++pos_;
            for (;;) {
                if (pos_ >= text_.size())
                    throw CsvError("line " + std::to_string(opened) +
                                   ": a quoted field is not closed");
                char c = text_[pos_++];
                if (c == '"') {
                    if (pos_ < text_.size() && text_[pos_] == '"') {
                        cell += '"';
                        ++pos_;
                        continue;
                    }
                    break;
                }
                if (c == '\n')
                    ++line_;
                cell += c;
            }
            if (pos_ < text_.size() && text_[pos_] != ',' && text_[pos_] != '\r' &&
                text_[pos_] != '\n')
                throw CsvError("line " + std::to_string(line_) +
                               ": unexpected text after a closing quote");
        } else {
            while (pos_ < text_.size() && text_[pos_] != ',' && text_[pos_] != '\r' &&
                   text_[pos_] != '\n')
                cell += text_[pos_++];
        }
        record.cells.push_back(cell);
        if (pos_ >= text_.size())
            return true;
        char c = text_[pos_++];
        if (c == ',')
            continue;
        if (c == '\r' && pos_ < text_.size() && text_[pos_] == '\n')
            ++pos_;
        ++line_;
        return true;
    }
}

std::string csvLine(const std::vector<std::string>& cells) {
    std::string out;
    for (size_t i = 0; i < cells.size(); ++i) {
        if (i > 0)
            out += ',';
        const std::string& cell = cells[i];
        if (cell.find_first_of(",\"\r\n") == std::string::npos) {
            out += cell;
            continue;
        }
        out += '"';
        for (char c : cell) {
            if (c == '"')
                out += '"';
            out += c;
        }
        out += '"';
    }
    out += "\r\n";
    return out;
}

std::string csvNumber(double value) {
    char text[64];
    auto [end, ec] = std::to_chars(text, text + sizeof text, value);
    return ec == std::errc() ? std::string(text, end) : std::string();
}

std::string csvRounded(double value, int decimals) {
    if (!std::isfinite(value))
        return csvNumber(value);
    char text[400];
    std::snprintf(text, sizeof text, "%.*f", decimals, value);
    std::string out = text;
    if (out.find('.') != std::string::npos) {
        out.erase(out.find_last_not_of('0') + 1);
        if (out.back() == '.')
            out.pop_back();
    }
    return out == "-0" ? "0" : out;
}

} // namespace cibrano

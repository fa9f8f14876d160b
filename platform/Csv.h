#pragma once
// Comma-separated values as RFC 4180 has them: fields separated by commas, records by line
// breaks (CRLF written, CRLF or LF read), fields with commas, quotes or line breaks quoted, a
// quote inside a quoted field doubled. Shared by the command-line tool's dump and import and
// the recipe exports.

#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace cibrano {

// Text that is not well-formed CSV; the message names the line.
class CsvError : public std::runtime_error {
public:
    explicit CsvError(const std::string& message) : std::runtime_error(message) {}
};

struct CsvRecord {
    int line = 0; // the line the record starts on, from 1
    std::vector<std::string> cells;
};

class CsvReader {
public:
    // The text (a leading UTF-8 byte order mark is skipped); it must outlive the reader.
    explicit CsvReader(std::string_view text);
    // The next record; false at the end. Blank lines are skipped. Raises CsvError, naming the
    // line, for a quoted field that is not closed or is followed by anything but a separator.
    bool next(CsvRecord& record);

private:
    std::string_view text_;
    size_t pos_ = 0;
    int line_ = 1;
};

// One record as a CSV line, CRLF included.
std::string csvLine(const std::vector<std::string>& cells);

// A number as CSV writes it: "." as decimal separator and the fewest digits that read back to
// the same double ("inf", "-inf" or "nan" for a value that is not finite).
std::string csvNumber(double value);
// A worked-out number as CSV writes it: rounded to at most `decimals` decimals, trailing zeros
// and a bare "." dropped ("1217.71" for 1217.7099999999998); a value that is not finite as
// csvNumber writes it.
std::string csvRounded(double value, int decimals);

} // namespace cibrano

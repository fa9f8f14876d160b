#pragma once
// The tool's commands: info, dump, import and passwd (and sheet, tools/SheetCommand.h).

#include "platform/AnsiString.h"

#include <iosfwd>
#include <optional>
#include <string>

namespace cibrano::tool {

struct Options {
    std::optional<std::string> password;    // --password, UTF-8
    std::optional<std::string> newPassword; // --new-password, UTF-8
    std::optional<std::string> fields;      // --fields
    std::optional<std::string> recipe;      // sheet: --recipe NAME, UTF-8
    std::optional<std::string> pdf;         // sheet: --pdf OUT.pdf
    std::optional<std::string> csv;         // sheet: --csv OUT.csv
    std::optional<std::string> svg;         // label: --svg OUT.svg
    std::optional<std::string> png;         // label: --png OUT.png
    std::optional<std::string> widthMm;     // label: --width-mm N
    bool text = false;                      // label: --text, the declaration on standard output
    bool force = false;                     // --force: import may replace an existing file
    bool partial = false;                   // --partial: open a damaged table as far as it goes
};

// An option's UTF-8 text as 8-bit text ("" when the option is absent); a character Windows-1252
// cannot hold is a usage error naming the option.
AnsiString ansiOption(const std::optional<std::string>& utf8, const char* option);

// Fields with types and sizes, record count, plain or enciphered, notes.
void runInfo(const std::string& file, const Options& options, std::ostream& out);
// The records as CSV (UTF-8, CRLF), with a header line of field names.
void runDump(const std::string& file, const Options& options, std::ostream& out);
// A new table from a CSV file, its columns matched to the fields by name.
void runImport(const std::string& csvFile, const std::string& file, const Options& options,
               std::ostream& out);
// The table written again under --new-password (plain when it is empty).
void runPasswd(const std::string& file, const Options& options, std::ostream& out);

} // namespace cibrano::tool

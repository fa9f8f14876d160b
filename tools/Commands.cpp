#include "tools/Commands.h"

#include "engine/ZerovConst.h"
#include "engine/ZerovTbl.h"
#include "platform/AnsiCase.h"
#include "platform/AnsiString.h"
#include "platform/Csv.h"
#include "platform/DatabaseError.h"
#include "platform/Files.h"
#include "tools/CsvValues.h"
#include "tools/FieldList.h"
#include "tools/ToolError.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <memory>
#include <ostream>
#include <unistd.h>
#include <vector>

namespace cibrano::tool {

namespace {

// Opens a table file through a table component: the password given, else the ones the
// session knows, else the prompt (when there is someone to answer it); with --partial a
// damaged table as far as it can be read, the warning going through the user interface.
void openTable(TZerovTable& table, const std::string& file, const Options& options) {
    if (::access(file.c_str(), R_OK) != 0)
        throw ToolError("cannot read " + file + ": " + std::strerror(errno));
    table.setTableName(file);
    table.setPassword(ansiOption(options.password, "--password"));
    table.setPartialOpen(options.partial);
    try {
        table.open();
    } catch (const EDatabaseError& e) {
        throw ToolError(file + ": " + ansiToUtf8(msg::withoutOpeningPrefix(e.message())));
    }
}

// Frees a record buffer and the values it refers to.
struct BufferDeleter {
    const TZerovCursor* store;
    void operator()(uint8_t* buffer) const {
        store->freeRecordValues(buffer);
        delete[] buffer;
    }
};

} // namespace

void runInfo(const std::string& file, const Options& options, std::ostream& out) {
    TZerovTable table;
    openTable(table, file, options);
    const TZerovCursor& store = *table.store();
    out << "File:      " << file << "\n";
    out << "Format:    " << (store.isEnciphered() ? "enciphered" : "plain") << "\n";
    out << "Records:   " << table.recordCount() << "\n";
    out << "Fields:    " << store.fieldCount() << "\n";
    size_t width = 0;
    for (const TZerovField* f : store.fields())
        width = std::max(width, ansiToUtf8(f->fieldName).size());
    for (int i = 0; i < store.fieldCount(); ++i) {
        const TZerovField& f = *store.fieldAt(i);
        std::string name = ansiToUtf8(f.fieldName);
        out << "  " << (i + 1 < 10 ? " " : "") << i + 1 << "  " << name
            << std::string(width - name.size() + 2, ' ') << typeWordOfKind(f.storageKind);
        if (f.storageKind == kindFixedText || f.storageKind == kindText)
            out << " " << f.declaredSize;
        out << "\n";
    }
    out << "Notes:     " << (store.notes().empty() ? "(none)" : ansiToUtf8(store.notes())) << "\n";
}

void runDump(const std::string& file, const Options& options, std::ostream& out) {
    TZerovTable table;
    openTable(table, file, options);
    const TZerovCursor& store = *table.store();
    std::vector<std::string> cells;
    for (const TZerovField* f : store.fields())
        cells.push_back(ansiToUtf8(f->fieldName));
    out << csvLine(cells);
    // The table's records in file order: it has no sort key and no filter.
    for (const RecordEntry* e : table.recordView()) {
        cells.clear();
        for (const TZerovField* f : store.fields())
            cells.push_back(valueAsCsvText(e->data, *f));
        out << csvLine(cells);
    }
}

void runImport(const std::string& csvFile, const std::string& file, const Options& options,
               std::ostream& out) {
    if (!options.force && fileExists(file))
        throw ToolError(file + " already exists (--force replaces it)");
    std::vector<FieldDescription> fields =
        options.fields ? parseFieldList(*options.fields) : foodTableFields();
    const AnsiString password = ansiOption(options.password, "--password");

    std::string reason;
    auto text = readWholeFile(csvFile, &reason);
    if (!text)
        throw ToolError("cannot read " + csvFile + ": " + reason);

    TZerovCursor store;
    AnsiString problem;
    if (!startEmptyTable(store, fields, problem))
        throw ToolError("cannot create the table: " + ansiToUtf8(problem));

    CsvReader csv(*text);
    CsvRecord record;
    if (!csv.next(record))
        throw ToolError(csvFile + " is empty: a header line of field names is needed");
    std::vector<const TZerovField*> columns;
    for (const std::string& name : record.cells) {
        auto ansi = utf8ToAnsi(name);
        const TZerovField* f = ansi ? store.findField(*ansi) : nullptr;
        if (!f)
            throw ToolError(csvFile + ", line " + std::to_string(record.line) + ": column \"" +
                            name + "\" matches no field of the table");
        for (const TZerovField* other : columns)
            if (other == f)
                throw ToolError(csvFile + ", line " + std::to_string(record.line) +
                                ": two columns for field " + name);
        columns.push_back(f);
    }

    int count = 0;
    while (csv.next(record)) {
        if (record.cells.size() != columns.size())
            throw ToolError(csvFile + ", line " + std::to_string(record.line) + ": " +
                            std::to_string(record.cells.size()) + " values for " +
                            std::to_string(columns.size()) + " columns");
        std::unique_ptr<uint8_t[], BufferDeleter> buffer(store.newRecordBuffer(),
                                                         BufferDeleter{&store});
        try {
            for (size_t c = 0; c < columns.size(); ++c)
                valueFromCsvText(buffer.get(), *columns[c], record.cells[c], record.line);
        } catch (const ToolError& e) {
            throw ToolError(csvFile + ", " + e.what());
        }
        AnsiString message;
        if (!store.putRecord(buffer.get(), nullptr, message))
            throw ToolError(csvFile + ", line " + std::to_string(record.line) + ": " +
                            ansiToUtf8(message));
        ++count;
    }
    store.commitAllChanges();
    store.setPassword(password);
    store.saveTableFile(file, {}, false, "");
    out << file << ": " << count << " records imported" << (password.empty() ? "" : ", enciphered")
        << "\n";
}

void runPasswd(const std::string& file, const Options& options, std::ostream& out) {
    if (!options.newPassword)
        throw UsageError("passwd needs --new-password P (an empty P writes the table plain)");
    const AnsiString newPassword = ansiOption(options.newPassword, "--new-password");
    TZerovTable table;
    openTable(table, file, options);
    // A new password counts as a change of the open table, and its save writes under it.
    table.setPassword(newPassword);
    table.saveChanges();
    out << file << ": written " << (newPassword.empty() ? "plain" : "under the new password")
        << "\n";
}

AnsiString ansiOption(const std::optional<std::string>& utf8, const char* option) {
    if (!utf8)
        return AnsiString();
    auto ansi = utf8ToAnsi(*utf8);
    if (!ansi)
        throw UsageError(std::string(option) +
                         " holds a character that Windows-1252 cannot represent");
    return *ansi;
}

} // namespace cibrano::tool

#pragma once
// TZerovDatabase: the folder in which tables are found and saved, and the record of which
// table datasets opened through it and which have unsaved changes. It owns none of them; when
// it goes it closes the ones still open, last opened first.
//
// Paths. DatabasePath is kept as set, with a trailing separator added when it has none: "/"
// when the path is written with "/" (the system's own form), "\" otherwise, as the folder's
// stored designs write it. Either separator at the end is left as it is. When a table's file
// is named, the folder's path is joined to the file name with "/", a trailing "\" standing for
// it, so that a path typed "C:\Cucina\" style or the working folder with "\" appended both
// name a file inside the folder. Paths are handed to the file system byte for byte.

#include "platform/AnsiString.h"
#include "platform/Component.h"

#include <string>
#include <vector>

namespace cibrano {

class DOvuzaZerivir;

class TZerovDatabase : public TComponent {
public:
    static constexpr const char* kDefaultDateFormat = "mm/dd/yyyy";

    explicit TZerovDatabase(TComponent* owner = nullptr);
    ~TZerovDatabase() override;

    // --- Published properties ----------------------------------------------------------
    const AnsiString& DatabasePath() const { return databasePath_; }
    void setDatabasePath(const AnsiString& path);
    // Kept with the component; nothing in the engine reads it.
    const AnsiString& DateFormat() const { return dateFormat_; }
    void setDateFormat(const AnsiString& format) { dateFormat_ = format; }

    // The file `fileName` inside the folder (the bare name when the path is empty).
    std::string filePath(const AnsiString& fileName) const;

    // --- The datasets using the folder (called by the datasets themselves) ----------------
    void registerOpen(DOvuzaZerivir* dataset);
    void forgetOpen(DOvuzaZerivir* dataset);
    void registerModified(DOvuzaZerivir* dataset);
    void forgetModified(DOvuzaZerivir* dataset);
    // In order of opening / of their first unsaved change; each dataset at most once.
    const std::vector<DOvuzaZerivir*>& openDatasets() const { return open_; }
    const std::vector<DOvuzaZerivir*>& modifiedDatasets() const { return modified_; }

private:
    AnsiString databasePath_;
    AnsiString dateFormat_ = kDefaultDateFormat;
    std::vector<DOvuzaZerivir*> open_;
    std::vector<DOvuzaZerivir*> modified_;
};

// Whether a file name carries a directory ("/" or "\" in it), and the name without it.
bool hasDirectoryPart(const AnsiString& fileName);
AnsiString withoutDirectory(const AnsiString& fileName);

} // namespace cibrano

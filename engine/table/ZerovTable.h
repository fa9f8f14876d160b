#pragma once
// TZerovTable: the table dataset that decides where its records come from and where they are
// saved. Four load modes:
//   lmClear   an empty table made from FieldDefs;
//   lmFile    the table file TableName, inside the Database folder unless the name carries a
//             directory of its own;
//   lmClone   the record store of another open dataset (CloneDS), shared: records posted
//             through one are seen by the other when it next reads them, records added or
//             deleted enter or leave the other's view when it rebuilds it;
//   lmStream  a table image read from LoadingStream, from its position; the stream stays the
//             caller's.
// Only lmFile and clones of a file table are saved. A table owns its store in every mode but
// lmClone; a file table keeps it from the first open to its destruction (closing keeps it,
// the next open refills it).

#include "engine/table/DOvuzaZerivir.h"
#include "platform/AnsiString.h"

#include <memory>
#include <string>
#include <vector>

namespace cibrano {

class TStream;

enum TZerovLoadMode { lmClear, lmFile, lmClone, lmStream };

class TZerovTable : public DOvuzaZerivir {
public:
    explicit TZerovTable(TComponent* owner = nullptr);
    ~TZerovTable() override;

    // --- Published properties ----------------------------------------------------------
    TZerovLoadMode LoadMode() const { return loadMode_; }
    // A different mode closes the table first.
    void setLoadMode(TZerovLoadMode mode);
    const AnsiString& TableName() const { return tableName_; }
    // A different name closes the table and selects lmFile (lmClear for an empty name).
    void setTableName(const AnsiString& name);
    DOvuzaZerivir* CloneDS() const { return cloneDS_; }
    // A dataset selects lmClone, none lmClear. Another source closes an open clone first.
    void setCloneDS(DOvuzaZerivir* source);
    bool StoreDefs() const { return storeDefs_; }
    void setStoreDefs(bool value) { storeDefs_ = value; }
    using DOvuzaZerivir::setCheckKeyViolation;
    // While open, the store's password (the one that opened the table, or the last one set);
    // closed, the one set last.
    AnsiString Password();
    // A non-empty password is remembered by the session, an empty one makes it forget the
    // previous one. On an open table it becomes the store's password and counts as an unsaved
    // change, so that the next save enciphers under it (or writes the table plain).
    void setPassword(const AnsiString& password);

    // Read by lmStream; not owned, none at creation.
    TStream* LoadingStream() const { return loadingStream_; }
    void setLoadingStream(TStream* stream) { loadingStream_ = stream; }

    void setDatabase(TZerovDatabase* database) override;

    // Fields a table file this table loads may lack, having been written before the table had
    // them: each one the file lacks is added to every record as it loads (holding its initial
    // text), the table opens with it like any other field and has no unsaved change for it;
    // the next save writes the file with it. None at creation.
    const std::vector<AddedField>& AddedFields() const { return addedFields_; }
    void setAddedFields(std::vector<AddedField> fields) { addedFields_ = std::move(fields); }
    // The names of the fields the last load of a file added; empty when it had them all.
    const std::vector<AnsiString>& gainedFields() const { return gainedFields_; }

    // The file an lmFile table loads: TableName as it is when it names a directory or there
    // is no Database, else inside the Database folder.
    std::string tableFilePath() const;

    // --- Unsaved changes -----------------------------------------------------------------
    // A clone's discard or accept also takes its source off the folder's modified list.
    void discardChanges() override;
    void acceptChanges() override;

    // A TZerovBlobStream over the field's value in the active record.

protected:
    void loadStore() override;
    void saveStore() override;
    void releaseStore() override;
    void closeStore() override;
    void notification(TComponent* component, TOperation operation) override;

private:
    void loadTableFile();
    void loadNewTable();
    void attachToSource();
    // The file a save writes, empty when the table is not saved.
    std::string saveFilePath() const;
    void forgetStoreAfterFailedLoad();

    TZerovLoadMode loadMode_ = lmClear;
    AnsiString tableName_;
    DOvuzaZerivir* cloneDS_ = nullptr;
    // The dataset whose store this clone is attached to (and in whose clone list it stands)
    // while open; it can differ from CloneDS only while CloneDS is being changed.
    DOvuzaZerivir* attachedSource_ = nullptr;
    bool storeDefs_ = false;
    TStream* loadingStream_ = nullptr;
    std::vector<AddedField> addedFields_;
    std::vector<AnsiString> gainedFields_;
};

} // namespace cibrano

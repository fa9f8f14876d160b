#include "engine/table/ZerovTable.h"

#include "dataset/FieldDefs.h"
#include "engine/file/FieldDescriptions.h"
#include "engine/file/ZerovCursor.h"
#include "engine/file/ZerovSession.h"
#include "engine/table/ZerovBlobStream.h"
#include "engine/table/ZerovDatabase.h"
#include "engine/table/ZerovDatasetConst.h"
#include "engine/table/ZerovTableConst.h"
#include "platform/DatabaseError.h"
#include "platform/FileNameText.h"
#include "platform/Files.h"
#include "platform/Format.h"
#include "platform/Stream.h"

#include <exception>
#include <vector>

namespace cibrano {

TZerovTable::TZerovTable(TComponent* owner) : DOvuzaZerivir(owner) {
    // Definitions worth keeping with the component are the ones a new table is made from.
    FieldDefs().OnChange = [this] { storeDefs_ = loadMode_ == lmClear; };
}

TZerovTable::~TZerovTable() {
    destroying();
    try {
        setActive(false);
    } catch (const std::exception& e) {
        handleEngineException(e);
    }
    // Clones still on the store (a close that failed earlier left them there) must let go of
    // it before it is freed.
    for (DOvuzaZerivir* clone : std::vector<DOvuzaZerivir*>(cloneList())) {
        try {
            clone->close();
        } catch (const std::exception& e) {
            handleEngineException(e);
        }
    }
    releaseStore();
    FieldDefs().OnChange = nullptr;
}

// --- Properties ---------------------------------------------------------------------------

void TZerovTable::setLoadMode(TZerovLoadMode mode) {
    if (mode == loadMode_)
        return;
    if (Active())
        close();
    loadMode_ = mode;
}

void TZerovTable::setTableName(const AnsiString& name) {
    if (name == tableName_)
        return;
    if (Active())
        close();
    tableName_ = name;
    setLoadMode(name.empty() ? lmClear : lmFile);
}

void TZerovTable::setCloneDS(DOvuzaZerivir* source) {
    if (source != cloneDS_) {
        // An open clone shows its source's records; it cannot go on showing them as another's.
        if (Active() && loadMode_ == lmClone)
            close();
        if (cloneDS_)
            removeFreeNotification(cloneDS_);
        cloneDS_ = source;
        if (cloneDS_)
            freeNotification(cloneDS_);
    }
    setLoadMode(source ? lmClone : lmClear);
}

AnsiString TZerovTable::Password() {
    if (Active() && store()) {
        // The store's password is the one that opened the table (perhaps typed at the prompt).
        if (store()->password() != passwordText())
            setPasswordText(store()->password());
        return store()->password();
    }
    return passwordText();
}

void TZerovTable::setPassword(const AnsiString& password) {
    const AnsiString previous = Password();
    if (!password.empty())
        session().rememberPassword(password);
    else if (!previous.empty())
        session().forgetPassword(previous);
    setPasswordText(password);
    if (Active() && store()) {
        store()->setPassword(password);
        countSilentChange();
    }
}

void TZerovTable::setDatabase(TZerovDatabase* database) {
    DOvuzaZerivir::setDatabase(database);
    if (database && !database->DatabasePath().empty() && !tableName_.empty())
        tableName_ = withoutDirectory(tableName_);
}

std::string TZerovTable::tableFilePath() const {
    if (hasDirectoryPart(tableName_) || !Database())
        return tableName_;
    return Database()->filePath(tableName_);
}

// --- Loading ------------------------------------------------------------------------------

void TZerovTable::loadStore() {
    // A source that failed to close still has clones on its store; filling it again would
    // free the records they show.
    if (!Active() && !cloneList().empty())
        databaseError(dsmsg::ClonesStillOpen, this);
    try {
        switch (loadMode_) {
        case lmClear:
            loadNewTable();
            break;
        case lmFile:
            loadTableFile();
            break;
        case lmClone:
            attachToSource();
            break;
        case lmStream:
            if (!loadingStream_)
                databaseError(tblmsg::NoLoadingStream, this);
            loadFromStream(*loadingStream_, true);
            break;
        }
    } catch (...) {
        forgetStoreAfterFailedLoad();
        throw;
    }
}

void TZerovTable::forgetStoreAfterFailedLoad() {
    // A table that failed to open keeps no store (records of an earlier open included). An
    // open table being refreshed keeps what it has: its records are still shown.
    if (!Active() && ownsStore())
        detachStore();
}

void TZerovTable::loadNewTable() {
    if (FieldDefs().count() == 0)
        databaseError(tblmsg::NoFieldDescriptions, this);
    std::vector<FieldDescription> fields;
    for (int i = 0; i < FieldDefs().count(); ++i) {
        const TFieldDef& def = FieldDefs()[i];
        fields.push_back({def.Name(), def.DataType(), def.Size()});
    }
    TMemoryStream image;
    writeNewTableImage(image, fields);
    loadFromStream(image, false);
}

void TZerovTable::loadTableFile() {
    gainedFields_.clear();
    const std::string path = tableFilePath();
    if (path.empty() || !fileExists(path) || !loadFromFile(path))
        databaseError(formatText(tblmsg::ErrorOpeningFile, fileNameText(path)), this);
    if (!addedFields_.empty())
        gainedFields_ = store()->addMissingFields(addedFields_);
}

void TZerovTable::attachToSource() {
    if (!cloneDS_ || !cloneDS_->Active() || !cloneDS_->store())
        databaseError(tblmsg::CloneNotActive, this);
    if (attachedSource_ && attachedSource_ != cloneDS_)
        attachedSource_->removeClone(this);
    cloneDS_->addClone(this);
    attachedSource_ = cloneDS_;
    attachStore(cloneDS_->store());
}

// --- Saving and releasing -----------------------------------------------------------------

std::string TZerovTable::saveFilePath() const {
    // A table is written to the file it was loaded from; a clone to its source's file.
    switch (loadMode_) {
    case lmFile:
        return tableName_.empty() ? std::string() : tableFilePath();
    case lmClone:
        if (const auto* source = dynamic_cast<const TZerovTable*>(cloneDS_))
            if (!source->TableName().empty())
                return source->tableFilePath();
        return std::string();
    default:
        return std::string();
    }
}

void TZerovTable::saveStore() {
    if (changeCount() <= 0)
        return;
    const std::string path = saveFilePath();
    if (!path.empty() && store())
        store()->saveTableFile(path, SaveOptions(), SortOptions().contains(vsoCaseInsensitive),
                               IndexFieldNames());
    // The source shows the shared records as they now stand (a sorting save reorders them).
    if (attachedSource_ && attachedSource_->Active())
        attachedSource_->rebuildView(true);
}

void TZerovTable::releaseStore() {
    if (ownsStore())
        detachStore();
}

void TZerovTable::closeStore() {
    if (!cloneList().empty() && !isDestroying())
        databaseError(dsmsg::ClonesStillOpen, this);
    if (attachedSource_) {
        // The keys go while the store they were laid out by is still attached.
        freeKeys();
        attachedSource_->removeClone(this);
        attachedSource_ = nullptr;
        detachStore();
    }
    DOvuzaZerivir::closeStore();
}

void TZerovTable::discardChanges() {
    const bool acts = Active() && changeCount() > 0;
    DOvuzaZerivir::discardChanges();
    if (acts && loadMode_ == lmClone && cloneDS_ && Database())
        Database()->forgetModified(cloneDS_);
}

void TZerovTable::acceptChanges() {
    const bool acts = Active() && changeCount() > 0;
    DOvuzaZerivir::acceptChanges();
    if (acts && loadMode_ == lmClone && cloneDS_ && Database())
        Database()->forgetModified(cloneDS_);
}

// --- Removal notices ----------------------------------------------------------------------

void TZerovTable::notification(TComponent* component, TOperation operation) {
    const bool removed = operation == opRemove && component;
    const bool sourceGone = removed && component == cloneDS_;
    const bool folderGone = removed && Database() && component == Database();
    if (sourceGone && attachedSource_ == component) {
        // Its store went with it: nothing may be asked of either any more.
        attachedSource_ = nullptr;
        detachStore();
    }
    DOvuzaZerivir::notification(component, operation); // forgets the folder
    if ((sourceGone || folderGone) && Active()) {
        try {
            close();
        } catch (const std::exception& e) {
            handleEngineException(e);
        }
    }
    if (sourceGone) {
        cloneDS_ = nullptr;
        loadMode_ = lmClear;
    }
}

} // namespace cibrano

#include "engine/table/ZerovDatabase.h"

#include "engine/file/ZerovSession.h"
#include "engine/table/DOvuzaZerivir.h"

#include <algorithm>
#include <exception>

namespace cibrano {

namespace {

bool isSeparator(char c) {
    return c == '/' || c == '\\';
}

void addOnce(std::vector<DOvuzaZerivir*>& list, DOvuzaZerivir* dataset) {
    if (dataset && std::find(list.begin(), list.end(), dataset) == list.end())
        list.push_back(dataset);
}

void removeFrom(std::vector<DOvuzaZerivir*>& list, DOvuzaZerivir* dataset) {
    list.erase(std::remove(list.begin(), list.end(), dataset), list.end());
}

} // namespace

bool hasDirectoryPart(const AnsiString& fileName) {
    return std::any_of(fileName.begin(), fileName.end(), isSeparator);
}

AnsiString withoutDirectory(const AnsiString& fileName) {
    const size_t cut = fileName.find_last_of("/\\");
    return cut == AnsiString::npos ? fileName : fileName.substr(cut + 1);
}

TZerovDatabase::TZerovDatabase(TComponent* owner) : TComponent(owner) {
    session().registerDatabase(this);
}

TZerovDatabase::~TZerovDatabase() {
    destroying();
    modified_.clear();
    // Each close takes its dataset off the list. One whose close fails is closed all the same
    // as far as the framework goes (it is inactive); it must not keep the loop going.
    while (!open_.empty()) {
        DOvuzaZerivir* dataset = open_.back();
        try {
            dataset->close();
        } catch (const std::exception& e) {
            dataset->handleEngineException(e);
        }
        removeFrom(open_, dataset);
    }
    modified_.clear();
    session().unregisterDatabase(this);
}

void TZerovDatabase::setDatabasePath(const AnsiString& path) {
    if (path == databasePath_)
        return;
    databasePath_ = path;
    if (!databasePath_.empty() && !isSeparator(databasePath_.back()))
        databasePath_ += databasePath_.find('/') != AnsiString::npos ? '/' : '\\';
}

std::string TZerovDatabase::filePath(const AnsiString& fileName) const {
    if (databasePath_.empty())
        return fileName;
    std::string path = databasePath_;
    if (path.back() == '\\')
        path.back() = '/';
    return path + fileName;
}

void TZerovDatabase::registerOpen(DOvuzaZerivir* dataset) {
    addOnce(open_, dataset);
}

void TZerovDatabase::forgetOpen(DOvuzaZerivir* dataset) {
    removeFrom(open_, dataset);
}

void TZerovDatabase::registerModified(DOvuzaZerivir* dataset) {
    addOnce(modified_, dataset);
}

void TZerovDatabase::forgetModified(DOvuzaZerivir* dataset) {
    removeFrom(modified_, dataset);
}

} // namespace cibrano

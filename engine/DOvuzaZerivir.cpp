#include "engine/DOvuzaZerivir.h"

// Being written: the first definitions, so that descendants can build against the interface.

namespace cibrano {

DOvuzaZerivir::DOvuzaZerivir(TComponent* owner) : TDataSet(owner) {}
DOvuzaZerivir::~DOvuzaZerivir() {
    destroying();
    setActive(false);
}
void DOvuzaZerivir::setDatabase(TZerovDatabase* database) {
    database_ = database;
}
void DOvuzaZerivir::setIndexFieldNames(const AnsiString& names) {
    indexFieldNames_ = names;
}
void DOvuzaZerivir::setSortOptions(TZerovSortOptions options) {
    sortOptions_ = options;
}
void DOvuzaZerivir::setRangeFieldNames(const AnsiString& names) {
    rangeFieldNames_ = names;
}
void DOvuzaZerivir::setMasterSource(TDataSource* source) {
    masterSource_ = source;
}
void DOvuzaZerivir::setMasterFields(const AnsiString& names) {
    masterFields_ = names;
}
void DOvuzaZerivir::setFiltered(bool value) {
    TDataSet::setFiltered(value);
}
void DOvuzaZerivir::setFilter(const AnsiString& text) {
    TDataSet::setFilter(text);
}
int DOvuzaZerivir::recordNumber() const {
    return -1;
}
void DOvuzaZerivir::moveToRecordNumber(int) {}
TUpdateStatus DOvuzaZerivir::updateStatus() const {
    return usUnmodified;
}
bool DOvuzaZerivir::bookmarkValid(TBookmark) const {
    return false;
}
int DOvuzaZerivir::compareBookmarks(TBookmark, TBookmark) const {
    return 0;
}
void DOvuzaZerivir::saveChanges() {}
void DOvuzaZerivir::discardChanges() {}
void DOvuzaZerivir::acceptChanges() {}
void DOvuzaZerivir::rebuildView(bool) {}
void DOvuzaZerivir::addClone(DOvuzaZerivir*) {}
void DOvuzaZerivir::removeClone(DOvuzaZerivir*) {}
void DOvuzaZerivir::prepareKey(TKeyIndex, const AnsiString&) {}
void DOvuzaZerivir::fillKeyFromText(TKeyIndex, const AnsiString&) {}
AnsiString DOvuzaZerivir::currentKeyText(const AnsiString&) const {
    return {};
}
void DOvuzaZerivir::setRange(const AnsiString&, const AnsiString&) {}
void DOvuzaZerivir::cancelRange() {}
bool DOvuzaZerivir::keyOrderUsable(const AnsiString&) const {
    return false;
}
int DOvuzaZerivir::findByKey(int, bool) const {
    return -1;
}
void DOvuzaZerivir::handleEngineException(const std::exception&) const {}
void DOvuzaZerivir::applyFieldOrigin() {}
void DOvuzaZerivir::loadFromStream(TStream&, bool) {}
void DOvuzaZerivir::attachStore(TZerovCursor* shared) {
    store_ = shared;
}
void DOvuzaZerivir::detachStore() {
    store_ = nullptr;
}
void DOvuzaZerivir::freeKeys() {}
bool DOvuzaZerivir::filterConditionsAccept(const RecordEntry&) {
    return true;
}
bool DOvuzaZerivir::filterRecordAccepts(RecordEntry*) {
    return true;
}
uint8_t* DOvuzaZerivir::newRecordBuffer() {
    return nullptr;
}
void DOvuzaZerivir::disposeRecordBuffer(uint8_t*) {}
TFetchResult DOvuzaZerivir::fetchRecord(uint8_t*, TFetchMode, bool) {
    return fetchEOF;
}
void DOvuzaZerivir::openStore() {}
void DOvuzaZerivir::closeStore() {}
void DOvuzaZerivir::describeFields() {}
void DOvuzaZerivir::moveToBufferRecord(uint8_t*) {}
void DOvuzaZerivir::moveToBookmark(TBookmark) {}
TBookmarkFlag DOvuzaZerivir::bookmarkFlagOf(const uint8_t*) const {
    return bookmarkCurrent;
}
void DOvuzaZerivir::setBookmarkFlagOf(uint8_t*, TBookmarkFlag) {}
TBookmark DOvuzaZerivir::copyBookmarkOut(const uint8_t*) const {
    return nullptr;
}
void DOvuzaZerivir::copyBookmarkIn(uint8_t*, TBookmark) {}
void DOvuzaZerivir::clearRecordBuffer(uint8_t*) {}
void DOvuzaZerivir::clearCalcArea(uint8_t*) {}
void DOvuzaZerivir::storeNewRecord(uint8_t*, bool) {}
void DOvuzaZerivir::storeEditedRecord() {}
void DOvuzaZerivir::discardEdits() {}
void DOvuzaZerivir::deleteCurrentRecord() {}
bool DOvuzaZerivir::readFieldValue(TField*, void*) {
    return false;
}
void DOvuzaZerivir::writeFieldValue(TField*, const void*) {}
void DOvuzaZerivir::reloadRecords() {}
void DOvuzaZerivir::doBeforeDelete() {
    TDataSet::doBeforeDelete();
}
void DOvuzaZerivir::doBeforeEdit() {
    TDataSet::doBeforeEdit();
}
void DOvuzaZerivir::doBeforeInsert() {
    TDataSet::doBeforeInsert();
}
void DOvuzaZerivir::doOnNewRecord() {
    TDataSet::doOnNewRecord();
}
void DOvuzaZerivir::notification(TComponent* c, TOperation o) {
    TDataSet::notification(c, o);
}
RecordEntry* DOvuzaZerivir::entryOf(const uint8_t*) const {
    return nullptr;
}
int32_t DOvuzaZerivir::recordNumberOf(const uint8_t*) const {
    return -1;
}
void DOvuzaZerivir::setTrailer(uint8_t*, RecordEntry*, TBookmarkFlag, int32_t) {}

} // namespace cibrano

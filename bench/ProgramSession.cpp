#include "bench/ProgramSession.h"

#include "bench/FoodTable.h"

#include "engine/file/ZerovCursor.h"
#include "platform/Files.h"
#include "platform/Stream.h"
#include "platform/Timer.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <system_error>

namespace cibrano::bench {

namespace {

// Runs `body` with the working folder set to `folder`, as the program is started in its own.
template <typename Body> void inFolder(const std::string& folder, Body body) {
    const std::filesystem::path previous = std::filesystem::current_path();
    std::filesystem::current_path(folder);
    try {
        body();
    } catch (...) {
        std::filesystem::current_path(previous);
        throw;
    }
    std::filesystem::current_path(previous);
}

} // namespace

std::string programFolder(int rows) {
    static std::map<int, std::string> folders;
    std::string& folder = folders[rows];
    if (!folder.empty())
        return folder;
    const std::string path = scratchFolder() + "program-" + std::to_string(rows) + "/";
    std::error_code error;
    std::filesystem::create_directories(path, error);
    if (error) {
        std::fprintf(stderr, "bench: cannot make %s: %s\n", path.c_str(), error.message().c_str());
        std::exit(1);
    }
    {
        TZerovCursor store;
        loadImage(store, foodTable(rows).plainImage);
        store.setPassword(RecipeCalculator::kTablePassword);
        TMemoryStream image;
        store.writeTableImage(image);
        writeFileAtomically(path + RecipeCalculator::kTableName, image.bytes());
    }
    folder = path;
    return folder;
}

std::string sampleFolder() {
    static std::string folder;
    if (!folder.empty())
        return folder;
    const std::string path = scratchFolder() + "program-sample/";
    std::error_code error;
    std::filesystem::create_directories(path, error);
    const std::optional<std::string> bytes = readWholeFile(CIBRANO_SAMPLE_TABLE);
    if (error || !bytes) {
        std::fprintf(stderr, "bench: cannot copy the sample table %s into %s\n",
                     CIBRANO_SAMPLE_TABLE, path.c_str());
        std::exit(1);
    }
    writeFileAtomically(path + RecipeCalculator::kTableName, *bytes);
    folder = path;
    return folder;
}

#ifndef CIBRANO_BENCH_GRID
struct ProgramSession::Grid {};
void ProgramSession::GridDeleter::operator()(Grid* grid) const {
    delete grid;
}
bool ProgramSession::paintsGrid() {
    return false;
}
void ProgramSession::makeGrid() {}

void ProgramSession::startDisplay() {}
void ProgramSession::repaint() {}
#endif

ProgramSession::ProgramSession(std::string folder) : folder_(std::move(folder)) {}

ProgramSession::~ProgramSession() {
    discard();
}

void ProgramSession::open() {
    calc_ = std::make_unique<RecipeCalculator>();
    calc_->OnShowTotals = [this](const TotalsLabelSet& labels) {
        ++labelsShown_;
        lastLabels_ = labels;
    };
    inFolder(folder_, [this] { calc_->OpenRecipeTables(); });
    makeGrid();
}

void ProgramSession::close() {
    if (calc_)
        calc_->SaveOnClose();
    discard();
}

void ProgramSession::discard() {
    grid_.reset();
    calc_.reset();
}

int ProgramSession::rowCount() const {
    const TZerovCursor* store = calc_ ? calc_->Table1->store() : nullptr;
    return store ? store->entryCount() : 0;
}

int ProgramSession::walks() const {
    return calc_ ? calc_->totalsComputations() : 0;
}

void ProgramSession::goToRow(int row) {
    calc_->Table1->moveToRecordNumber(row);
}

void ProgramSession::typeQuantity(int row, const char* text) {
    TZerovTable& table = *calc_->Table1;
    if (table.recordNumber() != row)
        goToRow(row);
    table.beginEdit();
    calc_->Table1Quantita->setEditText(text);
    table.moveNext();
}

void ProgramSession::sortByName() {
    calc_->SortByField(calc_->Table1Nome);
}

void ProgramSession::unsort() {
    calc_->Table1->setIndexFieldNames("");
}

void ProgramSession::find(const char* text) {
    calc_->ZerovFindEdit1->setText(text);
    manualTimerClock().advance(TZerovFindEdit::kSearchDelay);
}

} // namespace cibrano::bench

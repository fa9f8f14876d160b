#pragma once
// The program as a user drives it, without its window: a RecipeCalculator started in a folder
// holding the food file, the commands as the main window forwards them, and (when the grid is
// built) the grid bound to the food table, painted off screen.

#include "recipe/RecipeCalculator.h"

#include <memory>
#include <string>

namespace cibrano::bench {

// The table sizes the program is measured at.
inline constexpr int kProgramRows[] = {10'000, 100'000, 1'000'000};

// A folder holding "alimenti.d": the benchmark's food table of `rows` rows enciphered with the
// program's own password, made on first use (the 1,000-row one too, for the grid).
std::string programFolder(int rows);
// A folder holding a copy of the bundled sample food table the build made; `rows` is set to
// its record count.
std::string sampleFolder();
// The records of the bundled sample food table.
inline constexpr int kSampleRows = 3184;

class ProgramSession {
public:
    explicit ProgramSession(std::string folder);
    ~ProgramSession();

    // Whether repaint() paints a grid (the grid library was built).
    static bool paintsGrid();
    // The window system up and a grid painted once without data, as the program has them
    // before its tables open: the fonts and the platform's memory belong to the process's
    // start, not to the table.
    static void startDisplay();

    // Start-up as the main window's creation runs it, in the session's folder.
    void open();
    // The main window closing: SaveOnClose, then the calculator and its tables go.
    void close();
    // The calculator goes without saving.
    void discard();

    RecipeCalculator& calc() { return *calc_; }
    // The records of the food table, whatever it shows.
    int rowCount() const;
    // Totals walks and label writes since the session started.
    int walks() const;
    int labelsShown() const { return labelsShown_; }
    const TotalsLabelSet& lastLabels() const { return lastLabels_; }

    // Makes the 1-based row of the food table current.
    void goToRow(int row);
    // A quantity typed into the row's Quantita cell and the row left downwards, as the grid
    // does it: edit, the text assigned to the field, the move to the next row (which posts).
    void typeQuantity(int row, const char* text);
    // A click on Nome's title / the file order back.
    void sortByName();
    void unsort();
    // A word typed into the find box and the box's wait run out.
    void find(const char* text);
    // The grid painted whole, as after a command the window repaints it; nothing without it.
    void repaint();

private:
    struct Grid;
    struct GridDeleter {
        void operator()(Grid* grid) const;
    };
    void makeGrid();
    std::string folder_;
    std::unique_ptr<RecipeCalculator> calc_;
    std::unique_ptr<Grid, GridDeleter> grid_;
    int labelsShown_ = 0;
    TotalsLabelSet lastLabels_;
};

} // namespace cibrano::bench

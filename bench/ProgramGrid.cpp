// The grid part of the program benchmarks, built when the grid library is: the title-button
// grid bound to the food table's data source with the main window's columns and options,
// painted off screen into an image (QT_QPA_PLATFORM=offscreen unless a platform is set).

#include "bench/ProgramSession.h"

#include "grid/TitleDBCtrl.h"

#include <QApplication>
#include <QImage>
#include <QPainter>

#include <cstdlib>

namespace cibrano::bench {

namespace {

// The application object the widgets need, made once and kept to the end of the run.
void ensureApplication() {
    if (QApplication::instance())
        return;
    if (!std::getenv("QT_QPA_PLATFORM"))
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    static int argc = 1;
    static char name[] = "cibrano-bench";
    static char* argv[] = {name, nullptr};
    new QApplication(argc, argv);
}

} // namespace

struct ProgramSession::Grid {
    TTitleDBGrid widget;
    QImage image{800, 500, QImage::Format_ARGB32_Premultiplied};
};

void ProgramSession::GridDeleter::operator()(Grid* grid) const {
    delete grid;
}

bool ProgramSession::paintsGrid() {
    return true;
}

void ProgramSession::startDisplay() {
    ensureApplication();
    Grid empty;
    empty.widget.resize(800, 500);
    empty.image.fill(Qt::white);
    empty.widget.render(&empty.image);
}

void ProgramSession::makeGrid() {
    ensureApplication();
    grid_.reset(new Grid);
    TTitleDBGrid& grid = grid_->widget;
    grid.resize(800, 500);
    grid.setDataSource(calc_->DataSource1);
    const struct {
        const char* field;
        int width;
    } columns[] = {{"Gruppo", 113}, {"Nome", 276},    {"Quantita", 77}, {"Glucidi", 60},
                   {"Lipidi", 60},  {"Proteine", 60}, {"Kcalorie", 60}};
    for (const auto& c : columns) {
        TColumn* column = grid.Columns().add();
        column->setFieldName(c.field);
        column->setWidth(c.width);
    }
    grid.setOptions(TDBGridOptions{dgEditing, dgTitles, dgIndicator, dgColumnResize, dgColLines,
                                   dgRowLines, dgCancelOnExit});
    grid.setTitleButtons(true);
    repaint();
}

void ProgramSession::repaint() {
    if (!grid_)
        return;
    grid_->image.fill(Qt::white);
    grid_->widget.render(&grid_->image);
}

} // namespace cibrano::bench

#pragma once
// A bevel shaped as a single sunken line along the top edge of its box: a dark line with a
// light one under it, the separator of a dialog's sections.

#include <QWidget>

namespace cibrano {

class TBevel : public QWidget {
    Q_OBJECT
public:
    explicit TBevel(QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;
};

} // namespace cibrano

#pragma once
// A panel as the program's windows draw it: button-face background and up to two bevels
// along its edge, the outer one drawn first, the inner one just inside it. Raised bevels are
// light on the top and left edges and dark on the bottom and right; lowered ones the other way.

#include <QWidget>

class QPainter;

namespace cibrano {

enum TPanelBevel { bvNone, bvLowered, bvRaised };

class TPanel : public QWidget {
    Q_OBJECT
public:
    explicit TPanel(QWidget* parent = nullptr, TPanelBevel outer = bvRaised,
                    TPanelBevel inner = bvNone);

    TPanelBevel BevelOuter() const { return outer_; }
    TPanelBevel BevelInner() const { return inner_; }
    void setBevelOuter(TPanelBevel bevel);
    void setBevelInner(TPanelBevel bevel);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    TPanelBevel outer_;
    TPanelBevel inner_;
};

// One bevelled frame of width 1 along the edge of `rect`.
void drawBevel(QPainter& painter, const QRect& rect, TPanelBevel bevel, const QPalette& palette);

} // namespace cibrano

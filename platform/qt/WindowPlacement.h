#pragma once
// Placing top-level windows as the program's windows are placed.

class QWidget;

namespace cibrano {

// Moves `window` so that its frame stands in the middle of the screen it is on (the primary
// screen when it has none yet).
void centreOnScreen(QWidget* window);

} // namespace cibrano

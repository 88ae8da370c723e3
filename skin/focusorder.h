#pragma once
// Where a window's picture buttons stand in its Tab order.
class QWidget;

namespace FocusOrder {

// Puts the picture buttons (image controls made buttons that are tab stops)
// of `window` into its Tab order at their design places: each right after
// the tab stop that comes just before it from top to bottom and left to
// right (by the middle of each control's height, then its left edge), the
// buttons themselves in that order. The other tab stops keep the order the
// window gave them. A window with no picture button is left as it is; so is
// the control that first takes the focus when the window comes to the
// front, if it is not a picture button.
void placePictureButtons(QWidget *window);

} // namespace FocusOrder

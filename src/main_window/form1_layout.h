#pragma once

#include "form1_controls.h"

#include <QSize>

class QWidget;

namespace scanvale {

// Builds the main window's frame and controls from the design table: kind, caption, twip
// geometry, font, picture, colours, tooltip, accessible name and tab order. Nothing moves or
// resizes afterwards.
class Form1Layout {
public:
    // The client area, 6615 x 6420 twips.
    static constexpr QSize ClientSize{441, 428};

    // Gives `form` its fixed size, frame, colours, icon and caption "Form1", creates every
    // control as a child of it and returns them. The phrase box holds "Text1", the lists are
    // empty and have no columns, and the keyboard focus is set on Command1.
    static Form1Controls Build(QWidget& form);
};

} // namespace scanvale

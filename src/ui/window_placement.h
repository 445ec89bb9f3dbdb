// Where the program's windows appear: centred on the screen they belong to, computed afresh at
// every showing so that a window hidden and shown again never creeps across the screen.
#pragma once

class QWidget;

namespace quorvel::ui {

// Places `window` (its inside, without the frame) in the middle of its screen's available area:
// left is the area's left plus half its width minus half the window's width, each half rounded
// towards zero, and the same for top.
void CentreOnScreen(QWidget* window);

}  // namespace quorvel::ui

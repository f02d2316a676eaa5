// The parts of a form window's frame a script switches at run time (the form's Style object).
#pragma once

namespace qz {

enum class WindowStylePart {
  ToolWindow,   // the small tool-window frame
  TitleBar,     // caption and its border
  TaskBar,      // a button on the taskbar
  SizeBorder,   // the user may resize the window
  ControlBox,   // the window menu (and with it the frame's buttons)
  MinButton,
  MaxButton,
  CloseButton,  // the Close command
};

}  // namespace qz

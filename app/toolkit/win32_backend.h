// The Windows back end seen from inside, for its test probe (probe_win32.cpp):
// the window handles behind the object numbers and the state the back end
// keeps for the picture view and the status bar.
#pragma once

#include <windows.h>

namespace win32 {

// True when the common controls 6 are in use (the program's manifest).
bool CommonControls6Loaded();

// Window 0, status bar 1, picture view and controls 5 to 12; nullptr if the
// object does not exist.
HWND ObjectHandle(int number);
// The object number of the control that holds the window h (a control or a
// child of one, such as an editable combo's edit field); -1 if none.
int ControlNumberOf(HWND h);
// The edit field of an editable combo; nullptr for the other kinds.
HWND ComboEdit(int control);
// The main window and its status bar; nullptr before they exist.
HWND MainHandle();
HWND StatusBarHandle();
// The picture view; nullptr if there is none.
HWND ViewHandle();
// The one tooltip window; nullptr before the first tooltip.
HWND ToolTipHandle();
// The progress bar in a status-bar field; nullptr if there is none.
HWND ProgressHandle(int field);
// The picture the picture view holds, -1 if none.
int ShownPicture();
// How often the picture view was painted.
int PaintCount();
// True when right-aligned status texts get four trailing blanks (visual
// styles active).
bool PadsRightAlignedText();

} // namespace win32

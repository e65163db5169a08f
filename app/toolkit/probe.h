// Test probe: what a user sees and does, for each back end of the toolkit.
// Linked into test programs only (probe_headless.cpp, probe_win32.cpp,
// probe_fltk.cpp). The conformance suite speaks to the toolkit through
// toolkit.h and looks at the result through this header.
#pragma once

#include "toolkit.h"

#include <vector>

// ---- looking -------------------------------------------------------------
Text ProbeWindowTitle(int window);
// Client area size of the window.
void ProbeClientSize(int window, int* width, int* height);
bool ProbeWindowResizable(int window);
// Position and size of a control relative to its parent.
void ProbeControlRect(int control, int* x, int* y, int* width, int* height);
// The number of the control's parent: the window or the status bar.
int ProbeControlParent(int control);
// Caption of a button; edit text of an editable combo; selected item of a list.
Text ProbeControlCaption(int control);
bool ProbeControlEnabled(int control);
std::vector<Text> ProbeControlItems(int control);
// Index of the selected item of a combo, -1 if none.
int ProbeSelectedItem(int control);
Text ProbeToolTip(int control);
ControlKind ProbeControlKind(int control);
Text ProbeStatusText(int field);
int ProbeStatusFlags(int field);
// Right edges of the status-bar fields.
std::vector<int> ProbeStatusFieldEdges();
void ProbeStatusProgress(int field, int* value, int* minimum, int* maximum);
// The picture the picture view holds, -1 if none; its size on screen.
int ProbeShownPicture();
void ProbeViewSize(int* width, int* height);
// How often the picture view was painted since start.
int ProbePaintCount();
// Colour of a pixel as painted in the picture view (what the screen shows).
Colour ProbeViewPixel(int x, int y);

// ---- doing, as the user would --------------------------------------------
// Click a toggle button.
void ProbeClick(int control);
// Pick item index of a combo from its list.
void ProbePickItem(int control, int index);
// Type a text into an editable combo, replacing its edit text.
void ProbeTypeText(int control, const Text& text);
// Ask to close the window (close box).
void ProbeRequestClose(int window);
// Press Tab (backwards with shift) and return the control with the focus,
// -1 if none of the controls has it.
int ProbeTab(bool shift);
// Give a control the keyboard focus.
void ProbeFocus(int control);
// Let the back end handle what the actions above queued (runs PollEvent
// until it reports nothing, returning the codes seen, CloseRequest included).
std::vector<int> ProbeDrainEvents();

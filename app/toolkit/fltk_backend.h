// The FLTK back end seen from inside, for its test probe (probe_fltk.cpp): the
// widgets behind the object numbers and the state the back end keeps for the
// controls, the status bar and the picture view.
#pragma once

#include "toolkit.h"

#include <vector>

class Fl_Double_Window;
class Fl_Group;
class Fl_Widget;

namespace fltk {

// The main window; nullptr before OpenWindow and after DestroyWindow.
Fl_Double_Window* MainWindowWidget();
// The status bar; nullptr if there is none.
Fl_Group* StatusBarWidget();

// A control as the back end keeps it; nullptr if the number names none.
struct ControlInfo {
    ControlKind kind;
    Fl_Widget* widget;      // Fl_Input_Choice, Fl_Choice or Fl_Toggle_Button
    Fl_Widget* focusTarget; // the widget that takes the keyboard focus
    int parent;             // number of the window or the status bar
    int selected;           // editable combo: item last picked, -1 after typing
};
const ControlInfo* Control(int control);
// The controls that Tab visits, in order.
std::vector<int> TabOrder();
// The control holding the widget (or one of its children); -1 if none.
int ControlNumberOf(const Fl_Widget* widget);

// A status-bar field's text and flags as last set; its rectangle in the
// window. False if there is no such field.
bool StatusField(int field, Text* text, int* flags, int* x, int* y, int* width, int* height);
// The load bar's value and range; false if there is none in that field.
bool StatusBar(int field, int* value, int* minimum, int* maximum);

// The picture view: its picture (-1 if none), its widget, how often it was
// painted.
int ShownPicture();
Fl_Widget* ViewWidget();
int PaintCount();

} // namespace fltk

// The test probe of the FLTK back end: looks at the X window and the FLTK
// widgets, and acts as a user would by sending the X events that a click, a
// key press or the window manager's close request produce. The events wait in
// the display connection until PollEvent takes them (ProbeDrainEvents).
#include "fltk_backend.h"
#include "probe.h"

#include <FL/Fl.H>
#include <FL/Fl_Choice.H>
#include <FL/Fl_Double_Window.H>
#include <FL/Fl_Group.H>
#include <FL/Fl_Input.H>
#include <FL/Fl_Input_Choice.H>
#include <FL/Fl_Menu_Button.H>
#include <FL/Fl_Toggle_Button.H>
#include <FL/x.H>

#include <X11/Xatom.h>
#include <X11/Xutil.h>
#include <X11/keysym.h>

namespace {

const int DrainLimit = 100000;

Window MainXid() {
    Fl_Double_Window* window = fltk::MainWindowWidget();
    return window && window->shown() ? fl_xid(window) : 0;
}

Fl_Widget* ControlWidget(int control) {
    const fltk::ControlInfo* info = fltk::Control(control);
    return info ? info->widget : nullptr;
}

Fl_Menu_* MenuOf(int control) {
    Fl_Widget* widget = ControlWidget(control);
    if (Fl_Input_Choice* edit = dynamic_cast<Fl_Input_Choice*>(widget))
        return edit->menubutton();
    return dynamic_cast<Fl_Choice*>(widget);
}

Text FromUtf8(const char* text) {
    return TextFromUtf8(text ? text : "");
}

// Where a point of the window lies on the screen.
void RootPosition(Window xid, int x, int y, int* rootX, int* rootY) {
    Window child = 0;
    XTranslateCoordinates(fl_display, xid, DefaultRootWindow(fl_display), x, y, rootX, rootY,
                          &child);
}

void SendButton(Window xid, int x, int y, int type) {
    XEvent event = {};
    event.xbutton.type = type;
    event.xbutton.display = fl_display;
    event.xbutton.window = xid;
    event.xbutton.root = DefaultRootWindow(fl_display);
    event.xbutton.time = CurrentTime;
    event.xbutton.x = x;
    event.xbutton.y = y;
    RootPosition(xid, x, y, &event.xbutton.x_root, &event.xbutton.y_root);
    event.xbutton.state = type == ButtonRelease ? Button1Mask : 0;
    event.xbutton.button = Button1;
    event.xbutton.same_screen = True;
    XSendEvent(fl_display, xid, True, type == ButtonPress ? ButtonPressMask : ButtonReleaseMask,
               &event);
}

void SendKey(Window xid, KeySym key, unsigned int state, int type) {
    XEvent event = {};
    event.xkey.type = type;
    event.xkey.display = fl_display;
    event.xkey.window = xid;
    event.xkey.root = DefaultRootWindow(fl_display);
    event.xkey.time = CurrentTime;
    event.xkey.state = state;
    event.xkey.keycode = XKeysymToKeycode(fl_display, key);
    event.xkey.same_screen = True;
    XSendEvent(fl_display, xid, True, type == KeyPress ? KeyPressMask : KeyReleaseMask, &event);
}

// Bit position and width of a colour mask of the visual.
void MaskShape(unsigned long mask, int* shift, int* bits) {
    *shift = 0;
    *bits = 0;
    if (!mask)
        return;
    while (!(mask & 1)) {
        mask >>= 1;
        ++*shift;
    }
    while (mask & 1) {
        mask >>= 1;
        ++*bits;
    }
}

unsigned Channel(unsigned long pixel, unsigned long mask) {
    int shift = 0, bits = 0;
    MaskShape(mask, &shift, &bits);
    if (bits == 0)
        return 0;
    unsigned long value = (pixel & mask) >> shift;
    return unsigned(value * 255 / ((1ul << bits) - 1));
}

} // namespace

// ---- looking -------------------------------------------------------------

Text ProbeWindowTitle(int window) {
    Window xid = window == 0 ? MainXid() : 0;
    if (!xid)
        return Text();
    Atom name = XInternAtom(fl_display, "_NET_WM_NAME", False);
    Atom utf8 = XInternAtom(fl_display, "UTF8_STRING", False);
    Atom type = 0;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    Text title;
    if (XGetWindowProperty(fl_display, xid, name, 0, 65536, False, utf8, &type, &format, &count,
                           &after, &data) == Success &&
        data && type == utf8) {
        title = TextFromUtf8(std::string(reinterpret_cast<char*>(data), count));
    }
    if (data)
        XFree(data);
    return title;
}

void ProbeClientSize(int window, int* width, int* height) {
    *width = 0;
    *height = 0;
    Window xid = window == 0 ? MainXid() : 0;
    XWindowAttributes attributes;
    if (xid && XGetWindowAttributes(fl_display, xid, &attributes)) {
        *width = attributes.width;
        *height = attributes.height;
    }
}

bool ProbeWindowResizable(int window) {
    Window xid = window == 0 ? MainXid() : 0;
    if (!xid)
        return false;
    XSizeHints hints = {};
    long supplied = 0;
    if (!XGetWMNormalHints(fl_display, xid, &hints, &supplied))
        return true;
    bool fixed = (hints.flags & PMinSize) && (hints.flags & PMaxSize) &&
                 hints.min_width == hints.max_width && hints.min_height == hints.max_height;
    return !fixed;
}

void ProbeControlRect(int control, int* x, int* y, int* width, int* height) {
    *x = *y = *width = *height = 0;
    Fl_Widget* widget = ControlWidget(control);
    if (!widget)
        return;
    int originX = 0, originY = 0;
    if (Fl_Group* parent = widget->parent(); parent && parent != fltk::MainWindowWidget()) {
        originX = parent->x();
        originY = parent->y();
    }
    *x = widget->x() - originX;
    *y = widget->y() - originY;
    *width = widget->w();
    *height = widget->h();
}

int ProbeControlParent(int control) {
    Fl_Widget* widget = ControlWidget(control);
    if (!widget)
        return -1;
    if (fltk::StatusBarWidget() && widget->parent() == fltk::StatusBarWidget())
        return 1;
    if (widget->parent() == fltk::MainWindowWidget())
        return 0;
    return -1;
}

Text ProbeControlCaption(int control) {
    Fl_Widget* widget = ControlWidget(control);
    if (Fl_Input_Choice* edit = dynamic_cast<Fl_Input_Choice*>(widget))
        return FromUtf8(edit->input()->value());
    if (Fl_Choice* list = dynamic_cast<Fl_Choice*>(widget))
        return list->mvalue() ? FromUtf8(list->mvalue()->label()) : Text();
    if (widget)
        return FromUtf8(widget->label());
    return Text();
}

bool ProbeControlEnabled(int control) {
    Fl_Widget* widget = ControlWidget(control);
    return widget && widget->active();
}

std::vector<Text> ProbeControlItems(int control) {
    std::vector<Text> items;
    Fl_Menu_* menu = MenuOf(control);
    if (!menu || !menu->menu())
        return items;
    for (int i = 0; i + 1 < menu->size(); ++i)
        items.push_back(FromUtf8(menu->menu()[i].label()));
    return items;
}

int ProbeSelectedItem(int control) {
    const fltk::ControlInfo* info = fltk::Control(control);
    if (!info)
        return -1;
    if (info->kind == EditableCombo)
        return info->selected;
    if (Fl_Choice* list = dynamic_cast<Fl_Choice*>(info->widget))
        return list->value();
    return -1;
}

Text ProbeToolTip(int control) {
    Fl_Widget* widget = ControlWidget(control);
    if (!widget)
        return Text();
    if (Fl_Input_Choice* edit = dynamic_cast<Fl_Input_Choice*>(widget)) {
        // The hover text covers the edit field too.
        if (FromUtf8(edit->input()->tooltip()) != FromUtf8(widget->tooltip()))
            return Text();
    }
    return FromUtf8(widget->tooltip());
}

ControlKind ProbeControlKind(int control) {
    Fl_Widget* widget = ControlWidget(control);
    if (dynamic_cast<Fl_Input_Choice*>(widget))
        return EditableCombo;
    if (dynamic_cast<Fl_Choice*>(widget))
        return DropDownList;
    return ToggleButton;
}

Text ProbeStatusText(int field) {
    Text text;
    int flags = 0, x = 0, y = 0, width = 0, height = 0;
    fltk::StatusField(field, &text, &flags, &x, &y, &width, &height);
    return text;
}

int ProbeStatusFlags(int field) {
    Text text;
    int flags = 0, x = 0, y = 0, width = 0, height = 0;
    fltk::StatusField(field, &text, &flags, &x, &y, &width, &height);
    return flags;
}

std::vector<int> ProbeStatusFieldEdges() {
    std::vector<int> edges;
    Fl_Group* bar = fltk::StatusBarWidget();
    Text text;
    int flags = 0, x = 0, y = 0, width = 0, height = 0;
    for (int field = 0; bar && fltk::StatusField(field, &text, &flags, &x, &y, &width, &height);
         ++field)
        edges.push_back(x + width - bar->x());
    return edges;
}

void ProbeStatusProgress(int field, int* value, int* minimum, int* maximum) {
    *value = *minimum = *maximum = 0;
    fltk::StatusBar(field, value, minimum, maximum);
}

int ProbeShownPicture() {
    return fltk::ShownPicture();
}

void ProbeViewSize(int* width, int* height) {
    Fl_Widget* view = fltk::ViewWidget();
    *width = view ? view->w() : 0;
    *height = view ? view->h() : 0;
}

int ProbePaintCount() {
    return fltk::PaintCount();
}

Colour ProbeViewPixel(int x, int y) {
    Fl_Widget* view = fltk::ViewWidget();
    Window xid = MainXid();
    if (!view || !xid || x < 0 || y < 0 || x >= view->w() || y >= view->h())
        return 0;
    Fl::flush();
    XSync(fl_display, False);
    XImage* image =
        XGetImage(fl_display, xid, view->x() + x, view->y() + y, 1, 1, AllPlanes, ZPixmap);
    if (!image)
        return 0;
    unsigned long pixel = XGetPixel(image, 0, 0);
    Colour colour = Channel(pixel, image->red_mask) + Channel(pixel, image->green_mask) * 256u +
                    Channel(pixel, image->blue_mask) * 65536u;
    XDestroyImage(image);
    return colour;
}

// ---- doing, as the user would --------------------------------------------

void ProbeClick(int control) {
    // A click on a combo would open its list, which waits for the user; the
    // probe clicks buttons only.
    Fl_Widget* widget = ControlWidget(control);
    Window xid = MainXid();
    if (!dynamic_cast<Fl_Toggle_Button*>(widget) || !xid)
        return;
    int x = widget->x() + widget->w() / 2, y = widget->y() + widget->h() / 2;
    SendButton(xid, x, y, ButtonPress);
    SendButton(xid, x, y, ButtonRelease);
    XFlush(fl_display);
}

void ProbePickItem(int control, int index) {
    Fl_Widget* widget = ControlWidget(control);
    Fl_Menu_* menu = MenuOf(control);
    if (!menu || !widget->active_r() || index < 0 || index + 1 >= menu->size())
        return;
    // What FLTK does when the user picks the item from the open list.
    menu->picked(&menu->menu()[index]);
}

void ProbeTypeText(int control, const Text& text) {
    Fl_Input_Choice* edit = dynamic_cast<Fl_Input_Choice*>(ControlWidget(control));
    if (!edit || !edit->active_r())
        return;
    Fl_Input* input = edit->input();
    input->take_focus();
    std::string utf8 = Utf8FromText(text);
    // What typing over the selected whole text does.
    input->replace(0, input->size(), utf8.c_str(), int(utf8.size()));
}

void ProbeRequestClose(int window) {
    Window xid = window == 0 ? MainXid() : 0;
    if (!xid)
        return;
    XEvent event = {};
    event.xclient.type = ClientMessage;
    event.xclient.display = fl_display;
    event.xclient.window = xid;
    event.xclient.message_type = XInternAtom(fl_display, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = long(XInternAtom(fl_display, "WM_DELETE_WINDOW", False));
    event.xclient.data.l[1] = CurrentTime;
    XSendEvent(fl_display, xid, False, NoEventMask, &event);
    XFlush(fl_display);
}

int ProbeTab(bool shift) {
    Window xid = MainXid();
    if (!xid)
        return -1;
    unsigned int state = shift ? ShiftMask : 0;
    if (shift)
        SendKey(xid, XK_Shift_L, 0, KeyPress);
    SendKey(xid, XK_Tab, state, KeyPress);
    SendKey(xid, XK_Tab, state, KeyRelease);
    if (shift)
        SendKey(xid, XK_Shift_L, ShiftMask, KeyRelease);
    ProbeDrainEvents();
    return fltk::ControlNumberOf(Fl::focus());
}

void ProbeFocus(int control) {
    const fltk::ControlInfo* info = fltk::Control(control);
    if (info)
        info->focusTarget->take_focus();
}

std::vector<int> ProbeDrainEvents() {
    std::vector<int> codes;
    if (!fl_display)
        return codes;
    XSync(fl_display, False);
    for (int i = 0; i < DrainLimit; ++i) {
        int code = PollEvent();
        if (code != 0) {
            codes.push_back(code);
            continue;
        }
        XSync(fl_display, False);
        if (XEventsQueued(fl_display, QueuedAfterReading) == 0)
            break;
    }
    return codes;
}

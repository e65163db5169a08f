// The Linux back end of the toolkit operations, over FLTK 1.3 on X11.
//
// The window, the status bar with its fields and load bar, the controls and
// the picture view are FLTK widgets; the pictures themselves live in
// picture.cpp, and the view paints their pixels (blue, green, red) converted
// to FLTK's red, green, blue row by row.
//
// PollEvent takes at most one X event from the display connection and hands
// it to FLTK (fl_handle), as FLTK's own loop does for each event. Only when
// no X event is queued does it run FLTK's timers (tooltips) with Fl::wait(0);
// should events arrive in the microseconds between the two, that Fl::wait(0)
// handles them too. Both end with Fl::flush(), which paints what changed.
#include "fltk_backend.h"
#include "toolkit.h"

#include <FL/Fl.H>
#include <FL/Fl_Choice.H>
#include <FL/Fl_Double_Window.H>
#include <FL/Fl_Group.H>
#include <FL/Fl_Input.H>
#include <FL/Fl_Input_Choice.H>
#include <FL/Fl_Menu_Button.H>
#include <FL/Fl_Menu_Item.H>
#include <FL/Fl_RGB_Image.H>
#include <FL/Fl_Return_Button.H>
#include <FL/Fl_Toggle_Button.H>
#include <FL/Fl_Tooltip.H>
#include <FL/Fl_Window.H>
#include <FL/fl_draw.H>
#include <FL/x.H>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <ctime>
#include <deque>
#include <map>
#include <memory>
#include <string>

namespace {

const int StatusBarHeight = 23;
const int ControlFontSize = 11;
const int StatusFontSize = 12;
const int MessageFontSize = 13;
const Fl_Labeltype PlainLabel = FL_FREE_LABELTYPE;
// A window that takes this long to appear is shown anyway.
const double ExposeTimeout = 5.0;

// ---- labels drawn as plain text -------------------------------------------

// FLTK reads "@" in a label as a symbol; the program's texts are plain text.
void DrawPlainLabel(const Fl_Label* label, int x, int y, int width, int height, Fl_Align align) {
    fl_font(label->font, label->size);
    fl_color(static_cast<Fl_Color>(label->color));
    fl_draw(label->value, x, y, width, height, align, label->image, 0);
}

void MeasurePlainLabel(const Fl_Label* label, int& width, int& height) {
    fl_font(label->font, label->size);
    width = 0;
    height = 0;
    fl_measure(label->value, width, height, 0);
}

// ---- widgets ------------------------------------------------------------------

class MainWindowWidget : public Fl_Double_Window {
  public:
    MainWindowWidget(int x, int y, int width, int height) : Fl_Double_Window(x, y, width, height) {}
    bool painted = false;

  protected:
    void draw() override {
        painted = true;
        Fl_Double_Window::draw();
    }
};

class PictureView : public Fl_Widget {
  public:
    PictureView(int x, int y, int width, int height) : Fl_Widget(x, y, width, height) {}
    int picture = -1;
    int paints = 0;

  protected:
    static void ConvertRow(void* data, int x, int y, int width, uchar* row) {
        const Picture* source = static_cast<const Picture*>(data);
        const uint8_t* pixel = source->pixels.data() + (size_t(y) * source->width + x) * 3;
        for (int i = 0; i < width; ++i, pixel += 3, row += 3) {
            row[0] = pixel[2];
            row[1] = pixel[1];
            row[2] = pixel[0];
        }
    }
    void draw() override {
        ++paints;
        const Picture* source = PictureByNumber(picture);
        int width = source ? std::min(w(), source->width) : 0;
        int height = source ? std::min(h(), source->height) : 0;
        if (width < w() || height < h())
            fl_rectf(x(), y(), w(), h(), FL_BACKGROUND_COLOR);
        if (width > 0 && height > 0)
            fl_draw_image(ConvertRow, const_cast<Picture*>(source), x(), y(), width, height, 3);
    }
};

class StatusFieldWidget : public Fl_Widget {
  public:
    StatusFieldWidget(int x, int y, int width, int height) : Fl_Widget(x, y, width, height) {}
    Text text;
    std::string utf8;
    int flags = 0;

  protected:
    void draw() override {
        draw_box((flags & StatusNoBorder) ? FL_FLAT_BOX : FL_THIN_DOWN_BOX, FL_BACKGROUND_COLOR);
        Fl_Align align = FL_ALIGN_LEFT;
        if (flags & StatusCentred)
            align = FL_ALIGN_CENTER;
        else if (flags & StatusRightAligned)
            align = FL_ALIGN_RIGHT;
        fl_font(FL_HELVETICA, StatusFontSize);
        fl_color(FL_FOREGROUND_COLOR);
        fl_push_clip(x() + 2, y() + 1, w() - 4, h() - 2);
        fl_draw(utf8.c_str(), x() + 3, y(), w() - 6, h(), align | FL_ALIGN_INSIDE, nullptr, 0);
        fl_pop_clip();
    }
};

// FLTK's drop-down list refuses the keyboard focus while it has no items; a
// Windows list takes it all the same.
class ListWidgetWithFocus : public Fl_Choice {
  public:
    ListWidgetWithFocus(int x, int y, int width, int height) : Fl_Choice(x, y, width, height) {}
    int handle(int event) override {
        if ((event == FL_FOCUS || event == FL_UNFOCUS) && (!menu() || !menu()->text)) {
            redraw();
            return Fl::visible_focus() ? 1 : 0;
        }
        return Fl_Choice::handle(event);
    }
};

// A smooth bar; any value and range are taken, the bar shows the value
// clamped into the range.
class LoadBarWidget : public Fl_Widget {
  public:
    LoadBarWidget(int x, int y, int width, int height) : Fl_Widget(x, y, width, height) {}
    int value = 0;
    int minimum = 0;
    int maximum = 100;

  protected:
    void draw() override {
        draw_box(FL_THIN_DOWN_BOX, FL_BACKGROUND2_COLOR);
        double span = double(maximum) - double(minimum);
        double share = span > 0 ? (double(value) - double(minimum)) / span : 0.0;
        share = std::max(0.0, std::min(1.0, share));
        int inner = w() - 4;
        int filled = int(std::lround(inner * share));
        if (filled > 0)
            fl_rectf(x() + 2, y() + 2, filled, h() - 4, fl_rgb_color(6, 176, 37));
    }
};

// A message box's text: lines broken at blanks to fit, tabs set at fixed
// stops, carriage returns ignored.
class MessageTextWidget : public Fl_Widget {
  public:
    MessageTextWidget(int x, int y, int width, int height) : Fl_Widget(x, y, width, height) {}
    std::vector<std::string> lines;

    static double TabStop() { return 8 * fl_width("x"); }
    // Width of a line with its tabs; fl_font must be set.
    static double LineWidth(const std::string& line) {
        double x = 0;
        size_t start = 0;
        while (true) {
            size_t tab = line.find('\t', start);
            x += fl_width(line.c_str() + start,
                          int((tab == std::string::npos ? line.size() : tab) - start));
            if (tab == std::string::npos)
                return x;
            x = (std::floor(x / TabStop()) + 1) * TabStop();
            start = tab + 1;
        }
    }
    // Breaks the text into lines no wider than maxWidth where blanks allow.
    void Layout(const std::string& text, double maxWidth) {
        lines.clear();
        std::string paragraph;
        size_t start = 0;
        while (start <= text.size()) {
            size_t end = text.find('\n', start);
            if (end == std::string::npos)
                end = text.size();
            paragraph.assign(text, start, end - start);
            paragraph.erase(std::remove(paragraph.begin(), paragraph.end(), '\r'), paragraph.end());
            std::string line;
            size_t word = 0;
            while (word < paragraph.size()) {
                size_t blank = paragraph.find(' ', word);
                size_t next = blank == std::string::npos ? paragraph.size() : blank + 1;
                std::string piece = paragraph.substr(word, next - word);
                if (!line.empty() && LineWidth(line + piece) > maxWidth) {
                    lines.push_back(line);
                    line.clear();
                }
                line += piece;
                word = next;
            }
            lines.push_back(line);
            start = end + 1;
        }
    }

  protected:
    void draw() override {
        fl_font(FL_HELVETICA, MessageFontSize);
        fl_color(FL_FOREGROUND_COLOR);
        int lineHeight = fl_height();
        int baseline = y() + lineHeight - fl_descent();
        for (const std::string& line : lines) {
            double x = 0;
            size_t start = 0;
            while (true) {
                size_t tab = line.find('\t', start);
                int length = int((tab == std::string::npos ? line.size() : tab) - start);
                fl_draw(line.c_str() + start, length, this->x() + int(x), baseline);
                x += fl_width(line.c_str() + start, length);
                if (tab == std::string::npos)
                    break;
                x = (std::floor(x / TabStop()) + 1) * TabStop();
                start = tab + 1;
            }
            baseline += lineHeight;
        }
    }
};

// ---- the objects behind the numbers ---------------------------------------------

struct ControlRecord {
    fltk::ControlInfo info;
    int number = 0;
    int order = 0;
    std::vector<Text> items;
    std::deque<std::string> itemTexts; // UTF-8, referenced by the menu
    std::vector<Fl_Menu_Item> menu;
};

struct Objects {
    MainWindowWidget* window = nullptr;
    Fl_Group* statusBar = nullptr;
    std::vector<StatusFieldWidget*> fields;
    std::map<int, LoadBarWidget*> loadBars;
    std::map<int, std::unique_ptr<ControlRecord>> controls;
    PictureView* view = nullptr;
    int viewNumber = -1;
    int nextOrder = 0;
    bool closeRequested = false;
};
Objects objects;

ControlRecord* Record(int control) {
    auto found = objects.controls.find(control);
    return found == objects.controls.end() ? nullptr : found->second.get();
}

Fl_Input_Choice* EditWidget(ControlRecord* record) {
    return record && record->info.kind == EditableCombo
               ? static_cast<Fl_Input_Choice*>(record->info.widget)
               : nullptr;
}
Fl_Choice* ListWidget(ControlRecord* record) {
    return record && record->info.kind == DropDownList
               ? static_cast<Fl_Choice*>(record->info.widget)
               : nullptr;
}
Fl_Toggle_Button* ButtonWidget(ControlRecord* record) {
    return record && record->info.kind == ToggleButton
               ? static_cast<Fl_Toggle_Button*>(record->info.widget)
               : nullptr;
}
Fl_Menu_* MenuWidget(ControlRecord* record) {
    if (Fl_Input_Choice* edit = EditWidget(record))
        return edit->menubutton();
    return ListWidget(record);
}

// Hands the record's items to its menu as they are, without FLTK's parsing of
// "/", "&" and "_" in menu paths; keeps the selected item.
void RebuildMenu(ControlRecord* record) {
    Fl_Menu_* menu = MenuWidget(record);
    if (!menu)
        return;
    int selected = menu->value();
    record->menu.assign(record->itemTexts.size() + 1, Fl_Menu_Item());
    for (size_t i = 0; i < record->itemTexts.size(); ++i) {
        Fl_Menu_Item& item = record->menu[i];
        item.text = record->itemTexts[i].c_str();
        item.labeltype_ = PlainLabel;
        item.labelfont_ = FL_HELVETICA;
        item.labelsize_ = ControlFontSize;
        item.labelcolor_ = FL_FOREGROUND_COLOR;
    }
    menu->menu(record->menu.data());
    if (selected >= 0 && selected < int(record->itemTexts.size()))
        menu->value(selected);
    else
        menu->value(static_cast<const Fl_Menu_Item*>(nullptr));
    menu->redraw();
}

// Replaces an editable combo's text, showing it from its start.
void SetEditText(Fl_Input_Choice* edit, const char* utf8) {
    edit->value(utf8);
    edit->input()->position(0);
}

// The user typed into an editable combo: no item is selected any more.
void EditTyped(Fl_Widget*, void* data) {
    static_cast<ControlRecord*>(data)->info.selected = -1;
}

// The user picked an item of an editable combo's list: its text goes into
// the edit field as it is.
void EditPicked(Fl_Widget*, void* data) {
    ControlRecord* record = static_cast<ControlRecord*>(data);
    Fl_Input_Choice* edit = EditWidget(record);
    int index = edit->menubutton()->value();
    if (index < 0 || index >= int(record->itemTexts.size()))
        return;
    SetEditText(edit, record->itemTexts[index].c_str());
    record->info.selected = index;
}

void WindowCloseAsked(Fl_Widget*, void*) {
    // FLTK sends Escape to a window's callback; a main window does not close
    // on Escape.
    if (Fl::event() == FL_SHORTCUT && Fl::event_key() == FL_Escape)
        return;
    objects.closeRequested = true;
}

std::vector<ControlRecord*> TabRecords() {
    std::vector<ControlRecord*> records;
    for (auto& entry : objects.controls)
        records.push_back(entry.second.get());
    std::sort(records.begin(), records.end(),
              [](ControlRecord* a, ControlRecord* b) { return a->order < b->order; });
    return records;
}

// Tab and Shift+Tab: the next or previous enabled control, round the row.
bool MoveFocus(bool backwards) {
    std::vector<ControlRecord*> records = TabRecords();
    int count = int(records.size());
    if (count == 0)
        return false;
    int current = -1;
    for (int i = 0; i < count; ++i)
        if (Fl::focus() && records[i]->info.widget->contains(Fl::focus()))
            current = i;
    int index = current >= 0 ? current : (backwards ? count : -1);
    for (int step = 0; step < count; ++step) {
        index = (index + (backwards ? count - 1 : 1)) % count;
        ControlRecord* record = records[index];
        if (record->info.widget->active_r() && record->info.widget->visible_r() &&
            record->info.focusTarget->take_focus())
            return true;
    }
    return false;
}

int Dispatch(int event, Fl_Window* window) {
    if (event == FL_KEYBOARD && window == objects.window && !Fl::grab() && !Fl::modal() &&
        (Fl::event_key() == FL_Tab || Fl::event_key() == 0xfe20 /* ISO_Left_Tab */) &&
        !Fl::event_state(FL_CTRL | FL_ALT | FL_META)) {
        if (MoveFocus(Fl::event_state(FL_SHIFT) != 0))
            return 1;
    }
    return Fl::handle_(event, window);
}

// The window's icon: a small trace on a grid, like the picture.
const Fl_RGB_Image* WindowIcon() {
    const int Size = 32;
    static uchar pixels[Size * Size * 3];
    static Fl_RGB_Image icon(pixels, Size, Size, 3);
    for (int y = 0; y < Size; ++y) {
        for (int x = 0; x < Size; ++x) {
            bool frame = x == 0 || y == 0 || x == Size - 1 || y == Size - 1;
            bool grid = x % 8 == 0 || y % 8 == 0;
            uchar grey = frame ? 0x55 : grid ? 0xBB : 0xFF;
            uchar* pixel = pixels + (y * Size + x) * 3;
            pixel[0] = pixel[1] = pixel[2] = grey;
        }
    }
    for (int x = 1; x < Size - 1; ++x) {
        for (double t = x; t < x + 1; t += 0.1) {
            int y = int(std::lround(Size / 2 - 11 * std::sin(t * 2 * M_PI / 20)));
            uchar* pixel = pixels + (y * Size + x) * 3;
            pixel[0] = 0x00;
            pixel[1] = 0x00;
            pixel[2] = 0xFF;
        }
    }
    return &icon;
}

} // namespace

// ---- inside view for the probe ----------------------------------------------------

namespace fltk {

Fl_Double_Window* MainWindowWidget() {
    return objects.window;
}
Fl_Group* StatusBarWidget() {
    return objects.statusBar;
}
const ControlInfo* Control(int control) {
    ControlRecord* record = Record(control);
    return record ? &record->info : nullptr;
}
std::vector<int> TabOrder() {
    std::vector<int> order;
    for (ControlRecord* record : TabRecords())
        order.push_back(record->number);
    return order;
}
int ControlNumberOf(const Fl_Widget* widget) {
    for (auto& entry : objects.controls)
        if (widget && entry.second->info.widget->contains(widget))
            return entry.first;
    return -1;
}
bool StatusField(int field, Text* text, int* flags, int* x, int* y, int* width, int* height) {
    if (field < 0 || field >= int(objects.fields.size()))
        return false;
    StatusFieldWidget* widget = objects.fields[field];
    *text = widget->text;
    *flags = widget->flags;
    *x = widget->x();
    *y = widget->y();
    *width = widget->w();
    *height = widget->h();
    return true;
}
bool StatusBar(int field, int* value, int* minimum, int* maximum) {
    auto found = objects.loadBars.find(field);
    if (found == objects.loadBars.end())
        return false;
    *value = found->second->value;
    *minimum = found->second->minimum;
    *maximum = found->second->maximum;
    return true;
}
int ShownPicture() {
    return objects.view ? objects.view->picture : -1;
}
Fl_Widget* ViewWidget() {
    return objects.view;
}
int PaintCount() {
    return objects.view ? objects.view->paints : 0;
}

} // namespace fltk

// ---- set-up and release ---------------------------------------------------------

void InitToolkit() {
    objects = Objects();
    fl_open_display();
    Fl::scheme("gtk+");
    Fl::visible_focus(1);
    Fl::set_labeltype(PlainLabel, DrawPlainLabel, MeasurePlainLabel);
    Fl::event_dispatch(Dispatch);
    Fl_Tooltip::enable(1);
    Fl_Tooltip::delay(0.5f);
    Fl_Tooltip::size(ControlFontSize);
}

void ReleaseToolkit() {
    Fl::event_dispatch(nullptr);
    if (fl_display)
        XSync(fl_display, False);
}

int OpenWindow(int window, const Text& title, int clientWidth, int clientHeight) {
    if (window != 0 || objects.window)
        return 0;
    int screenX = 0, screenY = 0, screenWidth = 0, screenHeight = 0;
    Fl::screen_xywh(screenX, screenY, screenWidth, screenHeight, 0);
    int width = std::min(clientWidth, screenWidth);
    int height = std::min(clientHeight, screenHeight);
    Fl_Group::current(nullptr);
    MainWindowWidget* widget =
        new MainWindowWidget(screenX + (screenWidth - width) / 2,
                             screenY + (screenHeight - height) / 2, clientWidth, clientHeight);
    widget->end();
    widget->copy_label(Utf8FromText(title).c_str());
    widget->size_range(clientWidth, clientHeight, clientWidth, clientHeight);
    widget->callback(WindowCloseAsked);
    widget->icon(WindowIcon());
    widget->xclass("kurvomat");
    objects.window = widget;
    widget->show();
    // Shown at once: wait until the window has been mapped and painted.
    struct timespec start;
    clock_gettime(CLOCK_MONOTONIC, &start);
    while (!widget->painted) {
        Fl::wait(0.02);
        struct timespec now;
        clock_gettime(CLOCK_MONOTONIC, &now);
        if (now.tv_sec - start.tv_sec + (now.tv_nsec - start.tv_nsec) * 1e-9 > ExposeTimeout)
            break;
    }
    return 1;
}

int CreateStatusBar(int bar, int window) {
    if (bar != 1 || window != 0 || !objects.window || objects.statusBar)
        return 0;
    MainWindowWidget* parent = objects.window;
    Fl_Group::current(nullptr);
    Fl_Group* group = new Fl_Group(0, parent->h() - StatusBarHeight, parent->w(), StatusBarHeight);
    group->end();
    group->box(FL_FLAT_BOX);
    parent->add(group);
    objects.statusBar = group;
    group->redraw();
    return 1;
}

void SetStatusFields(int bar, const std::vector<int>& rightEdges) {
    Fl_Group* group = objects.statusBar;
    if (bar != 1 || !group)
        return;
    for (StatusFieldWidget* field : objects.fields) {
        group->remove(field);
        delete field;
    }
    for (auto& entry : objects.loadBars) {
        group->remove(entry.second);
        delete entry.second;
    }
    objects.fields.clear();
    objects.loadBars.clear();
    int left = 0;
    for (int edge : rightEdges) {
        int x = left == 0 ? 0 : left + 2;
        Fl_Group::current(nullptr);
        StatusFieldWidget* field = new StatusFieldWidget(group->x() + x, group->y() + 2,
                                                         std::max(0, edge - x), group->h() - 2);
        group->insert(*field, int(objects.fields.size()));
        objects.fields.push_back(field);
        left = edge;
    }
    group->redraw();
}

void CreateControl(int control, int window, ControlKind kind, int x, int y, int width, int height,
                   const Text& caption) {
    if (window != 0 || !objects.window || Record(control))
        return;
    std::unique_ptr<ControlRecord> record(new ControlRecord());
    record->info.kind = kind;
    record->info.parent = window;
    record->info.selected = -1;
    record->number = control;
    record->order = objects.nextOrder++;
    Fl_Group::current(nullptr);
    switch (kind) {
    case EditableCombo: {
        Fl_Input_Choice* edit = new Fl_Input_Choice(x, y, width, height);
        edit->end();
        edit->textsize(ControlFontSize);
        edit->input()->when(FL_WHEN_CHANGED);
        edit->input()->callback(EditTyped, record.get());
        edit->menubutton()->callback(EditPicked, record.get());
        // A pick of the item picked last time still restores its text.
        edit->menubutton()->when(FL_WHEN_RELEASE | FL_WHEN_NOT_CHANGED);
        edit->menubutton()->textsize(ControlFontSize);
        // Tab goes from the edit field to the next control, not to the arrow.
        edit->menubutton()->clear_visible_focus();
        record->info.widget = edit;
        record->info.focusTarget = edit->input();
        break;
    }
    case DropDownList: {
        Fl_Choice* list = new ListWidgetWithFocus(x, y, width, height);
        list->textsize(ControlFontSize);
        record->info.widget = list;
        record->info.focusTarget = list;
        break;
    }
    case ToggleButton: {
        Fl_Toggle_Button* button = new Fl_Toggle_Button(x, y, width, height);
        button->labeltype(PlainLabel);
        button->labelsize(ControlFontSize);
        button->copy_label(Utf8FromText(caption).c_str());
        record->info.widget = button;
        record->info.focusTarget = button;
        break;
    }
    }
    ControlRecord* kept = record.get();
    objects.controls[control] = std::move(record);
    RebuildMenu(kept);
    objects.window->add(kept->info.widget);
    kept->info.widget->redraw();
}

void MoveIntoStatusBar(int control, int bar) {
    ControlRecord* record = Record(control);
    Fl_Group* group = objects.statusBar;
    if (!record || bar != 1 || !group || record->info.parent == bar)
        return;
    Fl_Widget* widget = record->info.widget;
    // The coordinates so far counted from the window's client area; from now
    // on they count from the status bar's top-left corner.
    int x = widget->x(), y = widget->y();
    objects.window->remove(widget);
    group->add(widget);
    widget->position(group->x() + x, group->y() + y);
    record->info.parent = bar;
    objects.window->redraw();
}

void CreatePictureView(int control, int window, int x, int y, int width, int height, int picture) {
    if (window != 0 || !objects.window || objects.view)
        return;
    Fl_Group::current(nullptr);
    PictureView* view = new PictureView(x, y, width, height);
    objects.window->insert(*view, 0);
    objects.view = view;
    objects.viewNumber = control;
    ShowPicture(picture);
}

void DestroyWindow(int window) {
    if (window != 0 || !objects.window)
        return;
    Fl_Tooltip::current(nullptr);
    objects.window->hide();
    delete objects.window;
    objects = Objects();
    if (fl_display)
        XSync(fl_display, False);
    Fl::wait(0.0);
}

// ---- events ----------------------------------------------------------------------

int PollEvent() {
    objects.closeRequested = false;
    int code = 0;
    if (fl_display && XEventsQueued(fl_display, QueuedAfterReading) > 0) {
        XEvent event;
        XNextEvent(fl_display, &event);
        // The X event's type; an event other than a close request never
        // reports CloseRequest.
        code = event.type == CloseRequest ? 0x100 + event.type : event.type;
        fl_handle(event);
    } else {
        Fl::wait(0.0);
    }
    Fl::flush();
    return objects.closeRequested ? CloseRequest : code;
}

// ---- controls ------------------------------------------------------------------

Text ControlText(int control) {
    ControlRecord* record = Record(control);
    if (Fl_Input_Choice* edit = EditWidget(record))
        return TextFromUtf8(edit->value() ? edit->value() : "");
    if (Fl_Choice* list = ListWidget(record)) {
        int index = list->value();
        return index >= 0 && index < int(record->items.size()) ? record->items[index] : Text();
    }
    if (Fl_Toggle_Button* button = ButtonWidget(record))
        return TextFromUtf8(button->label() ? button->label() : "");
    return Text();
}

void SetControlText(int control, const Text& text) {
    ControlRecord* record = Record(control);
    if (Fl_Input_Choice* edit = EditWidget(record)) {
        std::string utf8 = Utf8FromText(text);
        if (utf8 != edit->value())
            SetEditText(edit, utf8.c_str());
        record->info.selected = -1;
    } else if (Fl_Choice* list = ListWidget(record)) {
        for (size_t i = 0; i < record->items.size(); ++i) {
            if (SameTextIgnoringCase(record->items[i], text)) {
                list->value(int(i));
                break;
            }
        }
    } else if (Fl_Toggle_Button* button = ButtonWidget(record)) {
        std::string utf8 = Utf8FromText(text);
        if (!button->label() || utf8 != button->label())
            button->copy_label(utf8.c_str());
    }
}

int ControlState(int control) {
    Fl_Toggle_Button* button = ButtonWidget(Record(control));
    return button && button->value() ? 1 : 0;
}

void SetControlState(int control, int value) {
    if (objects.view && control == objects.viewNumber) {
        ShowPicture(value);
        return;
    }
    ControlRecord* record = Record(control);
    if (Fl_Toggle_Button* button = ButtonWidget(record)) {
        button->value(value ? 1 : 0);
    } else if (Fl_Input_Choice* edit = EditWidget(record)) {
        if (value >= 0 && value < int(record->items.size())) {
            edit->menubutton()->value(value);
            SetEditText(edit, record->itemTexts[value].c_str());
            record->info.selected = value;
        } else if (value == -1) {
            SetEditText(edit, "");
            record->info.selected = -1;
        }
    } else if (Fl_Choice* list = ListWidget(record)) {
        if (value >= 0 && value < int(record->items.size()))
            list->value(value);
        else if (value == -1)
            list->value(static_cast<const Fl_Menu_Item*>(nullptr));
    }
}

void DisableControl(int control, int flag) {
    ControlRecord* record = Record(control);
    if (!record)
        return;
    if (flag)
        record->info.widget->deactivate();
    else
        record->info.widget->activate();
}

void AddItem(int control, const Text& text) {
    ControlRecord* record = Record(control);
    if (!MenuWidget(record))
        return;
    record->items.push_back(text);
    record->itemTexts.push_back(Utf8FromText(text));
    RebuildMenu(record);
}

void SetToolTip(int control, const Text& text) {
    ControlRecord* record = Record(control);
    if (!record)
        return;
    std::string utf8 = Utf8FromText(text);
    record->info.widget->copy_tooltip(utf8.c_str());
    if (Fl_Input_Choice* edit = EditWidget(record)) {
        edit->input()->copy_tooltip(utf8.c_str());
        edit->menubutton()->copy_tooltip(utf8.c_str());
    }
}

// ---- status bar ------------------------------------------------------------------

void StatusText(int field, const Text& text, int flags) {
    if (field < 0 || field >= int(objects.fields.size()))
        return;
    StatusFieldWidget* widget = objects.fields[field];
    if (widget->text == text && widget->flags == flags)
        return;
    widget->text = text;
    widget->utf8 = Utf8FromText(text);
    widget->flags = flags;
    widget->redraw();
}

void StatusProgress(int field, int value, int minimum, int maximum) {
    if (field < 0 || field >= int(objects.fields.size()))
        return;
    LoadBarWidget*& bar = objects.loadBars[field];
    if (!bar) {
        StatusFieldWidget* place = objects.fields[field];
        Fl_Group::current(nullptr);
        bar = new LoadBarWidget(place->x() + 1, place->y() + 1, place->w() - 2, place->h() - 2);
        objects.statusBar->add(bar);
    }
    if (bar->value == value && bar->minimum == minimum && bar->maximum == maximum)
        return;
    bar->value = value;
    bar->minimum = minimum;
    bar->maximum = maximum;
    bar->redraw();
}

// ---- pictures ---------------------------------------------------------------------

void ShowPicture(int picture) {
    if (!objects.view || !PictureMayBeShown(picture))
        return;
    const Picture* source = PictureByNumber(picture);
    PictureView* view = objects.view;
    view->picture = picture;
    if (view->w() != source->width || view->h() != source->height) {
        view->size(source->width, source->height);
        objects.window->redraw();
    }
    view->redraw();
    Fl::flush();
}

// ---- time ----------------------------------------------------------------------------

uint32_t TickCount() {
    struct timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    return uint32_t(uint64_t(now.tv_sec) * 1000u + uint64_t(now.tv_nsec) / 1000000u);
}

void Delay(int milliseconds) {
    if (milliseconds < 0)
        milliseconds = 0;
    struct timespec wait;
    wait.tv_sec = milliseconds / 1000;
    wait.tv_nsec = long(milliseconds % 1000) * 1000000L;
    while (nanosleep(&wait, &wait) == -1 && errno == EINTR) {
    }
}

// ---- messages --------------------------------------------------------------------------

void ShowMessage(const Text& title, const Text& text) {
    const int Margin = 20;
    const int ButtonWidth = 80;
    const int ButtonHeight = 26;
    int screenX = 0, screenY = 0, screenWidth = 0, screenHeight = 0;
    Fl::screen_xywh(screenX, screenY, screenWidth, screenHeight, 0);

    fl_font(FL_HELVETICA, MessageFontSize);
    Fl_Group::current(nullptr);
    MessageTextWidget* body = new MessageTextWidget(Margin, Margin, 0, 0);
    body->Layout(Utf8FromText(text), std::min(760, screenWidth - 4 * Margin));
    double widest = 0;
    for (const std::string& line : body->lines)
        widest = std::max(widest, MessageTextWidget::LineWidth(line));
    int textWidth = int(std::ceil(widest));
    int textHeight = fl_height() * int(body->lines.size());
    body->size(textWidth, textHeight);

    int width =
        std::min(std::max(textWidth + 2 * Margin, ButtonWidth + 2 * Margin + 120), screenWidth);
    int height = std::min(textHeight + 3 * Margin + ButtonHeight, std::max(screenHeight - 40, 100));
    Fl_Window box(width, height);
    box.end();
    box.copy_label(Utf8FromText(title).c_str());
    box.add(body);
    Fl_Return_Button* ok =
        new Fl_Return_Button(width - Margin - ButtonWidth, height - Margin - ButtonHeight,
                             ButtonWidth, ButtonHeight, "OK");
    ok->callback([](Fl_Widget* button, void*) { button->window()->hide(); });
    box.add(ok);
    Fl_Window* owner = objects.window && objects.window->shown() ? objects.window : nullptr;
    int x = screenX + (screenWidth - width) / 2, y = screenY + (screenHeight - height) / 2;
    if (owner) {
        x = owner->x() + (owner->w() - width) / 2;
        y = owner->y() + (owner->h() - height) / 2;
    }
    x = std::max(screenX, std::min(x, screenX + screenWidth - width));
    y = std::max(screenY, std::min(y, screenY + screenHeight - height));
    box.position(x, y);
    box.set_modal();
    box.show();
    ok->take_focus();
    while (box.shown())
        Fl::wait();
}

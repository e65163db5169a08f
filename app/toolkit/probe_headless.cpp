// The test probe of the in-memory back end: reads its records, and queues the
// user's actions as events that PollEvent takes one at a time.
#include "headless_state.h"
#include "probe.h"

using namespace headless;

namespace {
// Code PollEvent returns for a handled user action (any non-zero value).
const int UserActionEvent = 1;

Control& Need(int number) {
    static Control none;
    Control* control = Find(number);
    return control != nullptr ? *control : none;
}
} // namespace

Text ProbeWindowTitle(int) {
    return state.title;
}

void ProbeClientSize(int, int* width, int* height) {
    *width = state.clientWidth;
    *height = state.clientHeight;
}

bool ProbeWindowResizable(int) {
    return false;
}

void ProbeControlRect(int number, int* x, int* y, int* width, int* height) {
    if (number == state.viewNumber) {
        *x = state.viewX;
        *y = state.viewY;
        *width = state.viewWidth;
        *height = state.viewHeight;
        return;
    }
    Control& control = Need(number);
    *x = control.x;
    *y = control.y;
    *width = control.width;
    *height = control.height;
}

int ProbeControlParent(int number) {
    return Need(number).parent;
}

Text ProbeControlCaption(int number) {
    return ControlText(number);
}

bool ProbeControlEnabled(int number) {
    return Need(number).enabled;
}

std::vector<Text> ProbeControlItems(int number) {
    return Need(number).items;
}

int ProbeSelectedItem(int number) {
    return Need(number).selected;
}

Text ProbeToolTip(int number) {
    return Need(number).toolTip;
}

ControlKind ProbeControlKind(int number) {
    return Need(number).kind;
}

Text ProbeStatusText(int field) {
    if (field < 0 || static_cast<size_t>(field) >= state.fields.size())
        return Text();
    return state.fields[static_cast<size_t>(field)].text;
}

int ProbeStatusFlags(int field) {
    if (field < 0 || static_cast<size_t>(field) >= state.fields.size())
        return 0;
    return state.fields[static_cast<size_t>(field)].flags;
}

std::vector<int> ProbeStatusFieldEdges() {
    return state.fieldEdges;
}

void ProbeStatusProgress(int field, int* value, int* minimum, int* maximum) {
    *value = *minimum = *maximum = 0;
    if (field < 0 || static_cast<size_t>(field) >= state.fields.size())
        return;
    const Field& f = state.fields[static_cast<size_t>(field)];
    *value = f.value;
    *minimum = f.minimum;
    *maximum = f.maximum;
}

int ProbeShownPicture() {
    return state.viewPicture;
}

void ProbeViewSize(int* width, int* height) {
    *width = state.viewWidth;
    *height = state.viewHeight;
}

int ProbePaintCount() {
    return state.paintCount;
}

Colour ProbeViewPixel(int x, int y) {
    return PixelAt(state.viewPicture, x, y);
}

void ProbeClick(int number) {
    Post([number] {
        Control* control = Find(number);
        if (control != nullptr && control->enabled && control->kind == ToggleButton)
            control->down = !control->down;
        return UserActionEvent;
    });
}

void ProbePickItem(int number, int index) {
    Post([number, index] {
        Control* control = Find(number);
        if (control != nullptr && control->enabled && control->kind != ToggleButton)
            SetControlState(number, index);
        return UserActionEvent;
    });
}

void ProbeTypeText(int number, const Text& text) {
    Post([number, text] {
        Control* control = Find(number);
        if (control != nullptr && control->enabled && control->kind == EditableCombo) {
            control->edit = text;
            control->selected = -1;
        }
        return UserActionEvent;
    });
}

void ProbeRequestClose(int) {
    Post([] { return CloseRequest; });
}

int ProbeTab(bool shift) {
    const std::vector<int>& order = state.creationOrder;
    int count = static_cast<int>(order.size());
    if (count == 0)
        return -1;
    int at = -1;
    for (int i = 0; i < count; ++i)
        if (order[static_cast<size_t>(i)] == state.focus)
            at = i;
    for (int step = 1; step <= count; ++step) {
        int i = at < 0 ? (shift ? count - step : step - 1)
                       : ((at + (shift ? -step : step)) % count + count) % count;
        Control* control = Find(order[static_cast<size_t>(i)]);
        if (control != nullptr && control->enabled) {
            state.focus = order[static_cast<size_t>(i)];
            break;
        }
    }
    return state.focus;
}

void ProbeFocus(int number) {
    Control* control = Find(number);
    if (control != nullptr && control->enabled)
        state.focus = number;
}

std::vector<int> ProbeDrainEvents() {
    std::vector<int> codes;
    for (int guard = 0; guard < 1000; ++guard) {
        int code = PollEvent();
        if (code == 0)
            break;
        codes.push_back(code);
    }
    return codes;
}

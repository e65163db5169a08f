// The in-memory back end: windows, controls and the status bar as plain
// records, a settable clock, and a record of the calls tests look at. It keeps
// the rules a real toolkit keeps (a picture open for drawing is never shown).
#include "headless.h"
#include "headless_state.h"

#include <algorithm>
#include <deque>
#include <map>

namespace headless {

State state;

namespace {
std::vector<int> delays;
std::vector<int> shownPictures;
std::vector<std::string> canvasTrace;
bool tracing = false;
std::vector<Message> messages;
std::vector<std::string> statusCalls;
int pollEventCalls = 0;
bool failStatusBar = false;
} // namespace

std::function<void(const Message&)> onMessage;
std::function<void()> onPollEvent;

void Reset(uint32_t startTick) {
    state = State();
    state.tick = startTick;
    delays.clear();
    shownPictures.clear();
    canvasTrace.clear();
    TraceCanvas(false);
    messages.clear();
    statusCalls.clear();
    pollEventCalls = 0;
    failStatusBar = false;
    onMessage = nullptr;
    onPollEvent = nullptr;
    FreePictures();
    ClearPictureRuleBreaks();
}

void SetTick(uint32_t tick) {
    state.tick = tick;
}
void AdvanceTick(uint32_t milliseconds) {
    state.tick += milliseconds;
}

const std::vector<int>& Delays() {
    return delays;
}
void ClearDelays() {
    delays.clear();
}

const std::vector<int>& ShownPictures() {
    return shownPictures;
}
void ClearShownPictures() {
    shownPictures.clear();
}

namespace {
void ObservePictureCall(const char* call, int first, int second) {
    std::string entry = call;
    if (first >= 0)
        entry += " " + std::to_string(first);
    if (second >= 0)
        entry += " " + std::to_string(second);
    Trace(entry);
}
} // namespace

void TraceCanvas(bool on) {
    tracing = on;
    PictureCallObserver = on ? ObservePictureCall : nullptr;
}
const std::vector<std::string>& CanvasTrace() {
    return canvasTrace;
}
void ClearCanvasTrace() {
    canvasTrace.clear();
}
void Trace(const std::string& entry) {
    if (tracing)
        canvasTrace.push_back(entry);
}

const std::vector<Message>& Messages() {
    return messages;
}
int PollEventCalls() {
    return pollEventCalls;
}

const std::vector<std::string>& StatusCalls() {
    return statusCalls;
}
void ClearStatusCalls() {
    statusCalls.clear();
}

void FailStatusBar(bool fail) {
    failStatusBar = fail;
}

Control* Find(int number) {
    auto found = state.controls.find(number);
    return found == state.controls.end() ? nullptr : &found->second;
}

void Post(std::function<int()> event) {
    state.events.push_back(std::move(event));
}

} // namespace headless

using namespace headless;

void InitToolkit() {
    state.initialised = true;
}

void ReleaseToolkit() {
    state.initialised = false;
}

int OpenWindow(int window, const Text& title, int clientWidth, int clientHeight) {
    state.windowNumber = window;
    state.windowOpen = true;
    state.title = title;
    state.clientWidth = clientWidth;
    state.clientHeight = clientHeight;
    return 1;
}

int CreateStatusBar(int bar, int window) {
    if (failStatusBar || !state.windowOpen || window != state.windowNumber)
        return 0;
    state.statusBarNumber = bar;
    state.statusBar = true;
    return 1;
}

void SetStatusFields(int bar, const std::vector<int>& rightEdges) {
    if (!state.statusBar || bar != state.statusBarNumber)
        return;
    state.fieldEdges = rightEdges;
    state.fields.assign(rightEdges.size(), Field());
}

void CreateControl(int number, int window, ControlKind kind, int x, int y, int width, int height,
                   const Text& caption) {
    Control control;
    control.kind = kind;
    control.parent = window;
    control.x = x;
    control.y = y;
    control.width = width;
    control.height = height;
    control.caption = caption;
    state.controls[number] = control;
    state.creationOrder.push_back(number);
}

void MoveIntoStatusBar(int number, int bar) {
    Control* control = Find(number);
    if (control != nullptr && state.statusBar && bar == state.statusBarNumber)
        control->parent = bar;
}

void CreatePictureView(int number, int window, int x, int y, int width, int height, int picture) {
    (void)window;
    state.viewNumber = number;
    state.viewX = x;
    state.viewY = y;
    state.viewWidth = width;
    state.viewHeight = height;
    ShowPicture(picture);
}

void DestroyWindow(int window) {
    if (window != state.windowNumber)
        return;
    state.windowOpen = false;
    state.statusBar = false;
    state.controls.clear();
    state.creationOrder.clear();
    state.fields.clear();
    state.fieldEdges.clear();
    state.viewPicture = -1;
    state.focus = -1;
    state.events.clear();
}

int PollEvent() {
    ++pollEventCalls;
    if (onPollEvent)
        onPollEvent();
    if (state.events.empty())
        return 0;
    std::function<int()> event = std::move(state.events.front());
    state.events.pop_front();
    return event();
}

Text ControlText(int number) {
    Control* control = Find(number);
    if (control == nullptr)
        return Text();
    switch (control->kind) {
    case EditableCombo:
        return control->edit;
    case DropDownList:
        return control->selected >= 0 ? control->items[static_cast<size_t>(control->selected)]
                                      : Text();
    default:
        return control->caption;
    }
}

void SetControlText(int number, const Text& text) {
    Control* control = Find(number);
    if (control == nullptr)
        return;
    switch (control->kind) {
    case EditableCombo:
        control->edit = text;
        control->selected = -1;
        break;
    case DropDownList:
        for (size_t i = 0; i < control->items.size(); ++i) {
            if (SameTextIgnoringCase(control->items[i], text)) {
                control->selected = static_cast<int>(i);
                break;
            }
        }
        break;
    default:
        control->caption = text;
    }
}

int ControlState(int number) {
    Control* control = Find(number);
    return control != nullptr && control->kind == ToggleButton && control->down ? 1 : 0;
}

void SetControlState(int number, int value) {
    Control* control = Find(number);
    if (control == nullptr)
        return;
    if (control->kind == ToggleButton) {
        control->down = value != 0;
        return;
    }
    if (value >= 0 && static_cast<size_t>(value) < control->items.size()) {
        control->selected = value;
        if (control->kind == EditableCombo)
            control->edit = control->items[static_cast<size_t>(value)];
    }
}

void DisableControl(int number, int flag) {
    Control* control = Find(number);
    if (control == nullptr)
        return;
    control->enabled = flag == 0;
    if (!control->enabled && state.focus == number)
        state.focus = -1;
}

void AddItem(int number, const Text& text) {
    Control* control = Find(number);
    if (control != nullptr && control->kind != ToggleButton)
        control->items.push_back(text);
}

void SetToolTip(int number, const Text& text) {
    Control* control = Find(number);
    if (control != nullptr)
        control->toolTip = text;
}

namespace {
std::string Narrow(const Text& text) {
    return Utf8FromText(text);
}
} // namespace

void StatusText(int field, const Text& text, int flags) {
    statusCalls.push_back("text " + std::to_string(field) + " " + Narrow(text) + " " +
                          std::to_string(flags));
    if (!state.statusBar || field < 0 || static_cast<size_t>(field) >= state.fields.size())
        return;
    state.fields[static_cast<size_t>(field)].text = text;
    state.fields[static_cast<size_t>(field)].flags = flags;
}

void StatusProgress(int field, int value, int minimum, int maximum) {
    statusCalls.push_back("progress " + std::to_string(field) + " " + std::to_string(value) + " " +
                          std::to_string(minimum) + " " + std::to_string(maximum));
    if (!state.statusBar || field < 0 || static_cast<size_t>(field) >= state.fields.size())
        return;
    Field& target = state.fields[static_cast<size_t>(field)];
    target.hasProgress = true;
    target.value = value;
    target.minimum = minimum;
    target.maximum = maximum;
}

void ShowPicture(int picture) {
    Trace("show " + std::to_string(picture));
    if (!PictureMayBeShown(picture))
        return;
    const Picture* shown = PictureByNumber(picture);
    state.viewPicture = picture;
    state.viewWidth = shown->width;
    state.viewHeight = shown->height;
    ++state.paintCount;
    shownPictures.push_back(picture);
}

uint32_t TickCount() {
    return state.tick;
}

void Delay(int milliseconds) {
    delays.push_back(milliseconds);
    if (milliseconds > 0)
        state.tick += static_cast<uint32_t>(milliseconds);
}

void ShowMessage(const Text& title, const Text& text) {
    Message message{title, text};
    messages.push_back(message);
    if (onMessage)
        onMessage(message);
}

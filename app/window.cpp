// The main window: status bar, the seven controls, the status bar at rest and
// the rules that keep the controls consistent on every pass.
#include "app.h"

namespace {

struct ControlSpec {
    int number;
    ControlKind kind;
    int x;
    int width;
    const char16_t* caption;
    const char16_t* toolTip;
};

// In the order of creation, which is also the order from left to right.
const ControlSpec Controls[] = {
    {PortCombo, EditableCombo, 480, 70, u"", u"verfügbare COM-Ports"},
    {BaudCombo, EditableCombo, 560, 70, u"", u"Baudrate"},
    {ConnectButton, ToggleButton, 640, 70, u"Verbinden", u"Verbindung mit COM-Gerät herstellen"},
    {ModeCombo, DropDownList, 720, 110, u"", u"Plottmodus"},
    {TriggerCombo, EditableCombo, 840, 50, u"", u"Triggerschwelle"},
    {PauseButton, ToggleButton, 900, 50, u"Pause", u"Plottvorgang pausieren"},
    {InfoButton, ToggleButton, 955, 40, u"Info", u"Informationen"},
};
const int ControlTop = 3;
const int ControlHeight = 18;

const int BaudRates[] = {100,    110,    300,    600,    1200,   2400,   4800,   7200,
                         9600,   14400,  19200,  28800,  38400,  43000,  56000,  57600,
                         115200, 128000, 230400, 250000, 256000, 460800, 921600, 1843200};

const char16_t* const ModeTexts[] = {u"Oszilloskop", u"schneller Plot", u"Plot (0.01s)",
                                     u"Plot (0.1s)", u"Plot (0.5s)",    u"Plot (1.0s)",
                                     u"Plot (2.0s)", u"Plot (5.0s)"};

} // namespace

void ApplyIdleStatus() {
    StatusText(FrameRateField, u"0 FPS", StatusCentred);
    StatusText(SampleRateField, u"0 Werte/s", StatusCentred);
    StatusText(TimeBaseField, u"0 ms/DIV", StatusCentred);
    StatusText(LoadLabelField, u"COM-Auslastung: ", StatusRightAligned | StatusNoBorder);
    StatusProgress(LoadBarField, 0, 0, 10);
}

void BuildMainWindow() {
    OpenWindow(MainWindow, WindowTitle, 1000, 279);
    if (CreateStatusBar(StatusBar, MainWindow) != 0)
        SetStatusFields(StatusBar, {70, 170, 270, 390, 470});
    ApplyIdleStatus();
    for (const ControlSpec& control : Controls)
        CreateControl(control.number, MainWindow, control.kind, control.x, ControlTop,
                      control.width, ControlHeight, control.caption);
    for (const ControlSpec& control : Controls)
        MoveIntoStatusBar(control.number, StatusBar);
    for (int rate : BaudRates)
        AddItem(BaudCombo, IntText(rate));
    SetControlText(BaudCombo, u"921600");
    for (const char16_t* mode : ModeTexts)
        AddItem(ModeCombo, mode);
    SetControlText(ModeCombo, ScopeModeText);
    AddItem(TriggerCombo, u"aus");
    for (int threshold = 0; threshold <= 255; ++threshold)
        AddItem(TriggerCombo, IntText(threshold));
    SetControlText(TriggerCombo, u"aus");
    for (const ControlSpec& control : Controls)
        SetToolTip(control.number, control.toolTip);
}

void ApplyControlRules() {
    if (ControlState(ConnectButton) == 1) {
        SetControlText(ConnectButton, u"Trennen");
        DisableControl(BaudCombo, 1);
        DisableControl(PortCombo, 1);
    } else {
        SetControlText(ConnectButton, u"Verbinden");
        DisableControl(BaudCombo, 0);
        DisableControl(PortCombo, 0);
    }
    DisableControl(TriggerCombo, ControlText(ModeCombo) == ScopeModeText ? 0 : 1);
}

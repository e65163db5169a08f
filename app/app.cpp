// Start-up, the main loop and shutdown, and the program-wide record.
#include "app.h"

#include "../info/info.h"
#include "../plot/plot.h"
#include "../serial/serial.h"

const char16_t* const WindowTitle = u"Kurvomat - 1.0.0.1";
const char16_t* const ScopeModeText = u"Oszilloskop";

AppState App;

void StartUp() {
    App = AppState();
    InitToolkit();
    App.PortList.clear();
    BuildMainWindow();
    ScanComPorts();
    FillPortCombo();
    SetUpCanvas();
    App.RxBuffer.assign(RxBufferSize, 0);
    App.Connected = 0;
    App.TriggerArmed = 1;
    App.LastModeText.clear();
    App.StatsTimer = TickCount();
    App.RefreshTimer = TickCount();
    App.ByteTotal = 0;
}

bool RunPass() {
    ApplyControlRules();
    IdleRefresh();
    UpdateLink();
    PollLink();
    ShowInformation();
    return PollEvent() != CloseRequest;
}

void ShutDown() {
    if (App.Connected == 1)
        ClosePort();
    App.PortList = std::vector<int32_t>();
    DestroyWindow(MainWindow);
    FreePictures();
    App.RxBuffer = std::vector<uint8_t>();
    ReleaseToolkit();
}

int RunProgram() {
    StartUp();
    while (RunPass()) {
    }
    ShutDown();
    return 0;
}

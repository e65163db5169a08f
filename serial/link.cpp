// The serial link: follows ConnectButton, and on every pass while connected
// takes the waiting bytes in one read into RxBuffer and hands them to the plot
// mode shown in ModeCombo.
#include "serial.h"

#include "../app/app.h"
#include "../plot/plot.h"

#include <algorithm>

namespace {

// Closes the port and shows the status bar at rest.
void CloseLink() {
    ClosePort();
    App.Connected = 0;
    ApplyIdleStatus();
}

} // namespace

Text DevicePath(const Text& name) {
    const size_t PortNameChars = 59;
    return u"\\\\.\\" + name.substr(0, PortNameChars);
}

void UpdateLink() {
    int button = ControlState(ConnectButton);
    if (button == 1 && App.Connected == 0) {
        App.PortName = ControlText(PortCombo);
        App.LinkBaud =
            static_cast<int32_t>(static_cast<uint32_t>(TextValue(ControlText(BaudCombo))));
        App.OpenResult = OpenPort(App.PortName, App.LinkBaud);
        if (App.OpenResult != 0) {
            App.Connected = 1;
        } else {
            SetControlState(ConnectButton, 0);
        }
    } else if (button == 0 && App.Connected == 1) {
        CloseLink();
    }
}

void PollLink() {
    if (App.Connected == 1) {
        uint32_t waiting = WaitingBytes();
        if (waiting != PortLost) {
            App.AvailableCount = waiting;
            if (waiting == 0) {
                return;
            }
            // A read asks for no more than RxBuffer holds; the rest stays
            // queued in the driver for the next pass.
            uint32_t room =
                static_cast<uint32_t>(std::min<size_t>(App.RxBuffer.size(), RxBufferSize));
            uint32_t count = std::min(waiting, room);
            // Only the bytes actually read form the chunk.
            App.AvailableCount = ReadPort(App.RxBuffer.data(), count);
            if (App.AvailableCount == 0) {
                return;
            }
            if (ControlText(ModeCombo) == ScopeModeText) {
                HandleScopeChunk();
            } else {
                HandlePlotChunk();
            }
            return;
        }
        // The port can no longer be asked (device gone): close the link rather
        // than poll a dead handle, and bring the button up.
        App.AvailableCount = 0;
        CloseLink();
        SetControlState(ConnectButton, 0);
    }
    Delay(3);
}

// The canvas: WorkCanvas, on which every trace line is drawn, LastFrame, the
// copy of it from the last copying hand-over, and PlotView, which shows one of
// the two. WorkCanvas stays open for drawing except inside the sequences here.
#include "plot.h"

#include "../app/app.h"

namespace {

const int CanvasWidth = 1000;
const int CanvasHeight = 256;
// PlotView is asked for 300 rows; it takes the picture's 256 at once.
const int ViewHeight = 300;
const int GridColumnStep = 50;
const int GridRowStep = 32;
// Time between two idle refreshes of PlotView must exceed this.
const int32_t IdleRefreshMilliseconds = 200;

} // namespace

void SetUpCanvas() {
    CreatePicture(WorkCanvas, CanvasWidth, CanvasHeight);
    CreatePicture(LastFrame, CanvasWidth, CanvasHeight);
    CreatePictureView(PlotView, MainWindow, 0, 0, CanvasWidth, ViewHeight, WorkCanvas);
    BeginDrawing(WorkCanvas);
    DrawBlankGrid();
    EndDrawing();
    CopyPicture(WorkCanvas, LastFrame);
    ShowPicture(LastFrame);
    BeginDrawing(WorkCanvas);
}

void DrawBlankGrid() {
    // The box is taller than the picture; FillBox clips it to the 256 rows.
    FillBox(0, 0, CanvasWidth, ViewHeight, WhiteColour);
    // The last vertical line asked for, at x = 1000, lies outside and draws nothing.
    for (int x = 0; x <= CanvasWidth; x += GridColumnStep) {
        DrawLine(x, 0, x, CanvasHeight - 1, GridColour);
    }
    for (int y = 0; y <= CanvasHeight - 1; y += GridRowStep) {
        DrawLine(0, y, CanvasWidth, y, GridColour);
    }
}

void DrawTraceSegment(int32_t x, int32_t previous, int32_t value) {
    // At x = 0 the clipped segment is the single point of this sample; at
    // x = 1000 it is the previous sample's point, already drawn.
    DrawLine(x - 1, CanvasHeight - 1 - previous, x, CanvasHeight - 1 - value, TraceColour);
}

void HandOverSweep() {
    EndDrawing();
    ShowPicture(WorkCanvas);
    CopyPicture(WorkCanvas, LastFrame);
    BeginDrawing(WorkCanvas);
    DrawBlankGrid();
}

void HandOverSample() {
    EndDrawing();
    CopyPicture(WorkCanvas, LastFrame);
    ShowPicture(WorkCanvas);
    BeginDrawing(WorkCanvas);
}

void HandOverReset() {
    DrawBlankGrid();
    EndDrawing();
    ShowPicture(WorkCanvas);
    BeginDrawing(WorkCanvas);
}

void IdleRefresh() {
    if (ControlState(ConnectButton) != 0 && ControlState(PauseButton) != 1) {
        return;
    }
    // The wrapped difference, read as signed, keeps the rhythm across the
    // wrap of the tick count.
    if (static_cast<int32_t>(TickCount() - App.RefreshTimer) <= IdleRefreshMilliseconds) {
        return;
    }
    EndDrawing();
    ShowPicture(LastFrame);
    BeginDrawing(WorkCanvas);
    App.RefreshTimer = TickCount();
}

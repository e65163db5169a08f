// The canvas: the blank grid at start-up, trace segments at the edges, the
// hand-over sequences and the idle refresh of PlotView.
#include "plot_fixture.h"

#include <algorithm>

namespace {

using Canvas = PlotProgram;

TEST_F(Canvas, StartUpShowsTheBlankGridFromLastFrame) {
    EXPECT_EQ(ProbeShownPicture(), LastFrame);
    int width = 0, height = 0;
    ProbeViewSize(&width, &height);
    EXPECT_EQ(width, 1000);
    EXPECT_EQ(height, 256);
    EXPECT_EQ(PictureOpenForDrawing(), WorkCanvas);
    for (int picture : {WorkCanvas, LastFrame}) {
        SCOPED_TRACE(picture);
        EXPECT_EQ(PictureByNumber(picture)->width, 1000);
        EXPECT_EQ(PictureByNumber(picture)->height, 256);
        EXPECT_TRUE(OffGrid(picture).empty());
    }
    // Column 999 and row 255 carry no grid line; crossings are grey.
    EXPECT_EQ(ProbeViewPixel(950, 10), GridColour);
    EXPECT_EQ(ProbeViewPixel(999, 10), WhiteColour);
    EXPECT_EQ(ProbeViewPixel(10, 224), GridColour);
    EXPECT_EQ(ProbeViewPixel(10, 255), WhiteColour);
    EXPECT_EQ(ProbeViewPixel(999, 0), GridColour);
    EXPECT_EQ(ProbeViewPixel(0, 255), GridColour);
}

TEST_F(Canvas, SetUpCanvasRunsItsStepsInOrder) {
    headless::Reset();
    headless::TraceCanvas(true);
    StartUp();
    const std::vector<std::string> expected = {"create 4", "create 3", "show 4", "begin 4",
                                               "end",      "copy 4 3", "show 3", "begin 4"};
    EXPECT_EQ(headless::CanvasTrace(), expected);
}

TEST_F(Canvas, TraceSegmentAtColumnZeroIsOnlyItsOwnPoint) {
    for (int previous : {0, 77, 255}) {
        SCOPED_TRACE(previous);
        BeginDrawing(WorkCanvas);
        DrawBlankGrid();
        DrawTraceSegment(0, previous, 200);
        EXPECT_EQ(OffGrid(WorkCanvas), std::vector<std::string>{"0,55"});
    }
}

TEST_F(Canvas, TraceSegmentAtColumnThousandAddsNothing) {
    DrawTraceSegment(999, 10, 90);
    const std::vector<uint8_t> before = Pixels(WorkCanvas);
    DrawTraceSegment(1000, 90, 250);
    EXPECT_EQ(Pixels(WorkCanvas), before);
}

TEST_F(Canvas, TraceSegmentJoinsTheTwoColumnsInEveryRow) {
    DrawTraceSegment(500, 0, 255);
    std::vector<int> rows = TraceRows(WorkCanvas, 499);
    const std::vector<int> right = TraceRows(WorkCanvas, 500);
    rows.insert(rows.end(), right.begin(), right.end());
    std::sort(rows.begin(), rows.end());
    std::vector<int> every(256);
    for (int y = 0; y < 256; ++y) {
        every[static_cast<size_t>(y)] = y;
    }
    EXPECT_EQ(rows, every);
    // Sample 0 lies on the bottom row, 255 on the top row over the grid line.
    EXPECT_EQ(PixelAt(WorkCanvas, 499, 255), TraceColour);
    EXPECT_EQ(PixelAt(WorkCanvas, 500, 0), TraceColour);
    EXPECT_EQ(TraceColumns(WorkCanvas), (std::vector<int>{499, 500}));
}

TEST_F(Canvas, HandOversRunTheirSequences) {
    struct Case {
        const char* name;
        void (*run)();
        std::vector<std::string> trace;
    } cases[] = {
        {"sweep", HandOverSweep, {"end", "show 4", "copy 4 3", "begin 4"}},
        {"sample", HandOverSample, {"end", "copy 4 3", "show 4", "begin 4"}},
        {"reset", HandOverReset, {"end", "show 4", "begin 4"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        headless::TraceCanvas(true);
        headless::ClearCanvasTrace();
        c.run();
        EXPECT_EQ(headless::CanvasTrace(), c.trace);
        EXPECT_EQ(PictureOpenForDrawing(), WorkCanvas);
        EXPECT_EQ(ProbeShownPicture(), WorkCanvas);
    }
}

TEST_F(Canvas, WhatEachHandOverLeavesInThePictures) {
    DrawTraceSegment(10, 100, 100);
    const std::vector<uint8_t> drawn = Pixels(WorkCanvas);

    HandOverSample();
    EXPECT_EQ(Pixels(LastFrame), drawn);
    EXPECT_EQ(Pixels(WorkCanvas), drawn);

    HandOverSweep();
    EXPECT_EQ(Pixels(LastFrame), drawn);
    EXPECT_TRUE(OffGrid(WorkCanvas).empty());

    DrawTraceSegment(20, 30, 30);
    HandOverReset();
    EXPECT_TRUE(OffGrid(WorkCanvas).empty());
    EXPECT_EQ(Pixels(LastFrame), drawn);
}

struct IdleCase {
    int connect;
    int pause;
    uint32_t elapsed;
    bool refreshed;
};

TEST_F(Canvas, IdleRefreshFollowsTheTogglesAndWaitsMoreThan200Ms) {
    const IdleCase cases[] = {
        {0, 0, 200, false}, {0, 0, 201, true},   {1, 1, 201, true},
        {1, 0, 201, false}, {1, 0, 5000, false}, {0, 1, 201, true},
    };
    for (const IdleCase& c : cases) {
        SCOPED_TRACE(std::to_string(c.connect) + " " + std::to_string(c.pause) + " " +
                     std::to_string(c.elapsed));
        // The toggles as the user left them; no pass runs in between.
        SetControlState(ConnectButton, c.connect);
        SetControlState(PauseButton, c.pause);
        HandOverSample();               // PlotView holds WorkCanvas
        App.RefreshTimer = 0xFFFFFF80u; // the difference crosses the wrap
        headless::SetTick(App.RefreshTimer + c.elapsed);
        IdleRefresh();
        EXPECT_EQ(ProbeShownPicture(), c.refreshed ? LastFrame : WorkCanvas);
        // Read anew after the sequence.
        EXPECT_EQ(App.RefreshTimer, c.refreshed ? 0xFFFFFF80u + c.elapsed : 0xFFFFFF80u);
        EXPECT_EQ(PictureOpenForDrawing(), WorkCanvas);
    }
}

} // namespace

// The toolkit conformance suite: the same cases for every back end (the
// headless one natively, Win32 under Wine, FLTK under Xvfb). It talks to the
// toolkit through toolkit.h only and looks at the result through the probe.
#include "app/toolkit/probe.h"
#include "app/toolkit/toolkit.h"
#include "toolkit_fixture.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>

namespace {

using namespace fixture;

std::string Show(const Text& text) {
    return Utf8FromText(text);
}

using Toolkit = ToolkitWindow;

TEST_F(Toolkit, WindowHasItsTitleAndFixedClientSize) {
    EXPECT_EQ(Show(ProbeWindowTitle(Window)), "Prüfung - 1.0");
    int width = 0, height = 0;
    ProbeClientSize(Window, &width, &height);
    EXPECT_EQ(width, 1000);
    EXPECT_EQ(height, 279);
    EXPECT_FALSE(ProbeWindowResizable(Window));
}

TEST_F(Toolkit, ControlsKeepTheirCoordinatesInsideTheStatusBar) {
    struct Expected {
        int control, x, width;
        ControlKind kind;
    } expected[] = {{Edit, 480, 70, EditableCombo},
                    {Toggle, 640, 70, ToggleButton},
                    {List, 720, 110, DropDownList},
                    {Other, 900, 50, ToggleButton}};
    for (const Expected& e : expected) {
        SCOPED_TRACE(e.control);
        int x = 0, y = 0, width = 0, height = 0;
        ProbeControlRect(e.control, &x, &y, &width, &height);
        EXPECT_EQ(x, e.x);
        EXPECT_EQ(y, 3);
        EXPECT_EQ(width, e.width);
        EXPECT_EQ(height, 18);
        EXPECT_EQ(ProbeControlParent(e.control), Bar);
        EXPECT_EQ(ProbeControlKind(e.control), e.kind);
    }
}

TEST_F(Toolkit, StatusFieldsTakeTextsFlagsAndABar) {
    EXPECT_EQ(ProbeStatusFieldEdges(), (std::vector<int>{70, 170, 270, 390, 470}));
    StatusText(0, u"0 FPS", StatusCentred);
    StatusText(3, u"COM-Auslastung: ", StatusRightAligned | StatusNoBorder);
    StatusProgress(4, 7, 0, 10);
    ProbeDrainEvents();
    EXPECT_EQ(Show(ProbeStatusText(0)), "0 FPS");
    EXPECT_EQ(ProbeStatusFlags(0), StatusCentred);
    EXPECT_EQ(Show(ProbeStatusText(3)), "COM-Auslastung: ");
    EXPECT_EQ(ProbeStatusFlags(3), StatusRightAligned | StatusNoBorder);
    int value = -1, minimum = -1, maximum = -1;
    ProbeStatusProgress(4, &value, &minimum, &maximum);
    EXPECT_EQ(value, 7);
    EXPECT_EQ(minimum, 0);
    EXPECT_EQ(maximum, 10);
    // A value beyond the maximum and a maximum of 0 are taken without harm.
    StatusProgress(4, 92160, 0, 0);
    StatusText(1, u"1 Werte/s", StatusCentred);
    EXPECT_EQ(Show(ProbeStatusText(1)), "1 Werte/s");
}

TEST_F(Toolkit, EditableComboHoldsAnyText) {
    AddItem(Edit, u"100");
    AddItem(Edit, u"921600");
    SetControlText(Edit, u"921600");
    EXPECT_EQ(Show(ControlText(Edit)), "921600");
    EXPECT_EQ(ProbeSelectedItem(Edit), -1) << "setting the text selects no item";

    SetControlState(Edit, 0);
    EXPECT_EQ(Show(ControlText(Edit)), "100");

    const Text typed[] = {u"", u"  115200 mehr", u"$80", u"äöüß µ", Text(300, u'9'), u"\t-1"};
    for (const Text& text : typed) {
        ProbeTypeText(Edit, text);
        ProbeDrainEvents();
        EXPECT_EQ(ControlText(Edit), text) << Show(text);
    }
    EXPECT_EQ(ProbeControlItems(Edit), (std::vector<Text>{u"100", u"921600"}));
}

TEST_F(Toolkit, DropDownListSelectsByTextIgnoringCase) {
    EXPECT_EQ(Show(ControlText(List)), "") << "nothing selected yet";
    for (const char16_t* item : {u"Oszilloskop", u"schneller Plot", u"Plot (0.01s)"})
        AddItem(List, item);
    SetControlText(List, u"Oszilloskop");
    EXPECT_EQ(Show(ControlText(List)), "Oszilloskop");
    EXPECT_EQ(ProbeSelectedItem(List), 0);

    SetControlText(List, u"SCHNELLER plot");
    EXPECT_EQ(Show(ControlText(List)), "schneller Plot");

    SetControlText(List, u"gibt es nicht");
    EXPECT_EQ(Show(ControlText(List)), "schneller Plot") << "no match leaves the selection";

    ProbePickItem(List, 2);
    ProbeDrainEvents();
    EXPECT_EQ(Show(ControlText(List)), "Plot (0.01s)");

    SetControlState(List, 0);
    EXPECT_EQ(Show(ControlText(List)), "Oszilloskop");
}

TEST_F(Toolkit, ToggleButtonStaysDownUntilClickedAgain) {
    EXPECT_EQ(ControlState(Toggle), 0);
    ProbeClick(Toggle);
    ProbeDrainEvents();
    EXPECT_EQ(ControlState(Toggle), 1);
    EXPECT_EQ(ControlState(Other), 0) << "a click touches one button only";

    ProbeClick(Toggle);
    ProbeDrainEvents();
    EXPECT_EQ(ControlState(Toggle), 0);

    ProbeClick(Toggle);
    ProbeDrainEvents();
    SetControlState(Toggle, 0);
    EXPECT_EQ(ControlState(Toggle), 0) << "SetControlState 0 brings it up";

    SetControlText(Toggle, u"Trennen");
    EXPECT_EQ(Show(ProbeControlCaption(Toggle)), "Trennen");
    EXPECT_EQ(Show(ControlText(Toggle)), "Trennen");
}

TEST_F(Toolkit, DisableControlSetsTheEnabledFlag) {
    DisableControl(Edit, 1);
    EXPECT_FALSE(ProbeControlEnabled(Edit));
    DisableControl(Edit, 1);
    EXPECT_FALSE(ProbeControlEnabled(Edit));
    DisableControl(Edit, 0);
    EXPECT_TRUE(ProbeControlEnabled(Edit));
    EXPECT_TRUE(ProbeControlEnabled(List));
}

TEST_F(Toolkit, ToolTipsAreAttached) {
    SetToolTip(Edit, u"verfügbare COM-Ports");
    SetToolTip(Toggle, u"Verbindung mit COM-Gerät herstellen");
    EXPECT_EQ(Show(ProbeToolTip(Edit)), "verfügbare COM-Ports");
    EXPECT_EQ(Show(ProbeToolTip(Toggle)), "Verbindung mit COM-Gerät herstellen");
}

TEST_F(Toolkit, TabMovesThroughEnabledControlsInOrder) {
    ProbeFocus(Edit);
    EXPECT_EQ(ProbeTab(false), Toggle);
    EXPECT_EQ(ProbeTab(false), List);
    DisableControl(Other, 1);
    EXPECT_EQ(ProbeTab(false), Edit) << "a disabled control is skipped";
    EXPECT_EQ(ProbeTab(true), List);
    EXPECT_EQ(ProbeTab(true), Toggle);
}

TEST_F(Toolkit, PollEventReportsNothingWhenIdleAndACloseRequestWithoutClosing) {
    ProbeDrainEvents();
    EXPECT_EQ(PollEvent(), 0);
    EXPECT_EQ(PollEvent(), 0);

    ProbeRequestClose(Window);
    std::vector<int> codes = ProbeDrainEvents();
    int closes = 0;
    for (int code : codes)
        closes += code == CloseRequest ? 1 : 0;
    EXPECT_EQ(closes, 1);
    EXPECT_EQ(Show(ProbeWindowTitle(Window)), "Prüfung - 1.0") << "the window stays open";
    ProbeClick(Toggle);
    ProbeDrainEvents();
    EXPECT_EQ(ControlState(Toggle), 1) << "and keeps working";
}

TEST_F(Toolkit, NewPictureIsBlackAndFillBoxClipsToIt) {
    EXPECT_EQ(PixelAt(Front, 0, 0), 0u);
    EXPECT_EQ(PixelAt(Front, 999, 255), 0u);
    BeginDrawing(Front);
    FillBox(0, 0, 1000, 300, 0xFFFFFF);
    FillBox(INT_MIN, INT_MIN, INT_MAX, INT_MAX, 0x123456);
    FillBox(990, 250, INT_MAX, INT_MAX, 0x00FF00);
    FillBox(5, 5, -3, 10, 0x0000FF);
    EndDrawing();
    EXPECT_EQ(PixelAt(Front, 0, 255), 0xFFFFFFu);
    EXPECT_EQ(PixelAt(Front, 500, 100), 0xFFFFFFu);
    EXPECT_EQ(PixelAt(Front, 999, 255), 0x00FF00u);
    EXPECT_EQ(PixelAt(Front, 989, 255), 0xFFFFFFu);
    EXPECT_EQ(PixelAt(Front, 5, 5), 0xFFFFFFu) << "a negative width fills nothing";
    EXPECT_EQ(PictureByNumber(Front)->pixels.size(), 1000u * 256u * 3u);
}

TEST_F(Toolkit, DrawLineIncludesBothEndsAndClipsBeforeDrawing) {
    BeginDrawing(Front);
    FillBox(0, 0, 1000, 256, 0xFFFFFF);
    DrawLine(10, 20, 13, 20, 0xFF0000);
    DrawLine(-1, 100, 0, 50, 0x0000FF);     // shrinks to (0, 50)
    DrawLine(999, 70, 1000, 200, 0x00FF00); // shrinks to (999, 70)
    DrawLine(0, 255, 0, 255, 0x00FFFF);
    DrawLine(INT_MIN, INT_MIN, INT_MAX, INT_MAX, 0x111111);
    DrawLine(INT_MAX, INT_MIN, INT_MIN, INT_MAX, 0x222222);
    DrawLine(-5, -5, -1, -1, 0x333333);
    EndDrawing();
    for (int x = 10; x <= 13; ++x)
        EXPECT_EQ(PixelAt(Front, x, 20), 0xFF0000u) << x;
    EXPECT_EQ(PixelAt(Front, 9, 20), 0xFFFFFFu);
    EXPECT_EQ(PixelAt(Front, 14, 20), 0xFFFFFFu);
    EXPECT_EQ(PixelAt(Front, 0, 50), 0x0000FFu);
    for (int y = 51; y < 256; ++y)
        ASSERT_NE(PixelAt(Front, 0, y), 0x0000FFu) << y;
    EXPECT_EQ(PixelAt(Front, 999, 70), 0x00FF00u);
    for (int y = 71; y < 256; ++y)
        ASSERT_NE(PixelAt(Front, 999, y), 0x00FF00u) << y;
    EXPECT_EQ(PixelAt(Front, 0, 255), 0x00FFFFu);
}

TEST_F(Toolkit, SteepLineSetsOnePixelInEveryRow) {
    BeginDrawing(Front);
    FillBox(0, 0, 1000, 256, 0xFFFFFF);
    DrawLine(99, 255, 100, 0, 0xFF0000);
    EndDrawing();
    for (int y = 0; y < 256; ++y) {
        int set = 0;
        for (int x = 98; x <= 101; ++x)
            set += PixelAt(Front, x, y) == 0xFF0000u ? 1 : 0;
        EXPECT_EQ(set, 1) << "row " << y;
    }
}

TEST_F(Toolkit, CopyPictureMakesAnIndependentCopy) {
    BeginDrawing(Front);
    FillBox(0, 0, 1000, 256, 0xFFFFFF);
    EndDrawing();
    CopyPicture(Front, Back);
    BeginDrawing(Front);
    DrawLine(0, 0, 999, 0, 0xFF0000);
    EndDrawing();
    EXPECT_EQ(PixelAt(Back, 500, 0), 0xFFFFFFu);
    EXPECT_EQ(PixelAt(Front, 500, 0), 0xFF0000u);
}

TEST_F(Toolkit, ShowPictureRepaintsTheViewAtThePicturesSize) {
    int width = 0, height = 0;
    ProbeViewSize(&width, &height);
    EXPECT_EQ(width, 1000);
    EXPECT_EQ(height, 256) << "the view takes the picture's size, not the requested 300";

    BeginDrawing(Back);
    FillBox(0, 0, 1000, 256, 0xFFFFFF);
    DrawLine(0, 128, 999, 128, 0xFF0000);
    EndDrawing();
    int paints = ProbePaintCount();
    ShowPicture(Back);
    ProbeDrainEvents();
    EXPECT_EQ(ProbeShownPicture(), Back);
    EXPECT_GT(ProbePaintCount(), paints);
    EXPECT_EQ(ProbeViewPixel(500, 128), 0xFF0000u);
    EXPECT_EQ(ProbeViewPixel(500, 127), 0xFFFFFFu);
    EXPECT_EQ(ProbeViewPixel(999, 255), 0xFFFFFFu);
}

TEST_F(Toolkit, APictureOpenForDrawingIsNeitherShownNorCopied) {
    ShowPicture(Back);
    BeginDrawing(Front);
    ShowPicture(Front);
    CopyPicture(Front, Back);
    EndDrawing();
    EXPECT_EQ(ProbeShownPicture(), Back);
    EXPECT_EQ(PictureRuleBreaks(), 2);
    ClearPictureRuleBreaks();
}

TEST_F(Toolkit, DelayWaitsAndTickCountFollows) {
    uint32_t before = TickCount();
    Delay(50);
    uint32_t elapsed = TickCount() - before; // wraps like the program's own tests
    EXPECT_GE(elapsed, 40u);
}

// The texts are the toolkit's own code: they must come out the same on every
// build.
TEST(ToolkitTexts, NumbersGiveTheSameTextOnEveryBuild) {
    EXPECT_EQ(Show(IntText(0)), "0");
    EXPECT_EQ(Show(IntText(-92160)), "-92160");
    EXPECT_EQ(Show(IntText(INT64_MIN)), "-9223372036854775808");
    struct {
        float value;
        int decimals;
        const char* text;
    } floats[] = {{800.0f, 2, "800.00"},   {266.666666f, 2, "266.67"},
                  {0.5425347f, 2, "0.54"}, {50.050049f, 2, "50.05"},
                  {0.125f, 2, "0.12"},     {0.375f, 2, "0.38"},
                  {-0.001f, 2, "-0.00"},   {1e30f, 2, "1000000015047466219876688855040.00"},
                  {2.5f, 0, "2"},          {1.0f / 3.0f, 7, "0.3333333"}};
    for (const auto& f : floats)
        EXPECT_EQ(Show(FloatText(f.value, f.decimals)), f.text) << f.value;
    EXPECT_EQ(TextValue(u"  115200 mehr"), 115200);
    EXPECT_EQ(TextValue(u"\t-$80"), -128);
    EXPECT_EQ(TextValue(u"%101"), 5);
    EXPECT_EQ(TextValue(u"aus"), 0);
}

} // namespace

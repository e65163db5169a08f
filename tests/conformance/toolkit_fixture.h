// A window as the program builds it, in small: status bar with its five
// fields, four controls of the three kinds moved into the status bar, two
// pictures and the picture view. Shared by the conformance suite and the
// back ends' own tests.
#pragma once

#include "app/toolkit/probe.h"
#include "app/toolkit/toolkit.h"

#include <gtest/gtest.h>

namespace fixture {

const int Window = 0;
const int Bar = 1;
const int Back = 3;
const int Front = 4;
const int View = 5;
const int Edit = 6;
const int List = 8;
const int Toggle = 10;
const int Other = 11;

class ToolkitWindow : public ::testing::Test {
  protected:
    void SetUp() override {
        InitToolkit();
        ASSERT_NE(OpenWindow(Window, u"Prüfung - 1.0", 1000, 279), 0);
        ASSERT_NE(CreateStatusBar(Bar, Window), 0);
        SetStatusFields(Bar, {70, 170, 270, 390, 470});
        CreateControl(Edit, Window, EditableCombo, 480, 3, 70, 18, u"");
        CreateControl(Toggle, Window, ToggleButton, 640, 3, 70, 18, u"Verbinden");
        CreateControl(List, Window, DropDownList, 720, 3, 110, 18, u"");
        CreateControl(Other, Window, ToggleButton, 900, 3, 50, 18, u"Pause");
        for (int control : {Edit, Toggle, List, Other})
            MoveIntoStatusBar(control, Bar);
        CreatePicture(Front, 1000, 256);
        CreatePicture(Back, 1000, 256);
        CreatePictureView(View, Window, 0, 0, 1000, 300, Front);
        ProbeDrainEvents();
        ClearPictureRuleBreaks();
    }
    void TearDown() override {
        ProbeDrainEvents();
        EXPECT_EQ(PictureRuleBreaks(), 0);
        DestroyWindow(Window);
        FreePictures();
        ReleaseToolkit();
    }
};

} // namespace fixture

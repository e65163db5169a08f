// The FLTK back end beyond the shared conformance suite: one X event per
// PollEvent, no close on Escape, the colours the picture view paints, the
// window's place and the modal message box.
#include "app/toolkit/fltk_backend.h"
#include "app/toolkit/probe.h"
#include "app/toolkit/toolkit.h"
#include "tests/conformance/toolkit_fixture.h"

#include <gtest/gtest.h>

#include <FL/Fl.H>
#include <FL/Fl_Double_Window.H>
#include <FL/Fl_Window.H>
#include <FL/x.H>

#include <X11/keysym.h>

#include <string>

namespace {

using fixture::Front;
using fixture::Other;
using fixture::Toggle;
using fixture::ToolkitWindow;

class Fltk : public ToolkitWindow {
  protected:
    // A key pressed and released over the window, as the X server sends it.
    void PressKey(KeySym key) {
        Fl_Double_Window* window = fltk::MainWindowWidget();
        XEvent event = {};
        event.xkey.display = fl_display;
        event.xkey.window = fl_xid(window);
        event.xkey.root = DefaultRootWindow(fl_display);
        event.xkey.keycode = XKeysymToKeycode(fl_display, key);
        event.xkey.same_screen = True;
        for (int type : {KeyPress, KeyRelease}) {
            event.xkey.type = type;
            XSendEvent(fl_display, event.xkey.window, True,
                       type == KeyPress ? KeyPressMask : KeyReleaseMask, &event);
        }
        XFlush(fl_display);
    }
};

TEST_F(Fltk, PollEventTakesOneEventAtATime) {
    // Two clicks: a press and a release each, all four queued at once.
    ProbeClick(Toggle);
    ProbeClick(Other);
    XSync(fl_display, False);
    EXPECT_NE(PollEvent(), 0);
    EXPECT_EQ(ControlState(Other), 0) << "the second click waits for later polls";
    std::vector<int> rest = ProbeDrainEvents();
    EXPECT_GE(rest.size(), 3u);
    EXPECT_EQ(ControlState(Toggle), 1);
    EXPECT_EQ(ControlState(Other), 1);
    EXPECT_EQ(PollEvent(), 0) << "nothing left";
}

TEST_F(Fltk, EscapeDoesNotAskToCloseTheWindow) {
    ProbeFocus(Toggle);
    PressKey(XK_Escape);
    for (int code : ProbeDrainEvents())
        EXPECT_NE(code, CloseRequest);
    ProbeRequestClose(fixture::Window);
    int closes = 0;
    for (int code : ProbeDrainEvents())
        closes += code == CloseRequest ? 1 : 0;
    EXPECT_EQ(closes, 1) << "the close box still asks";
}

TEST_F(Fltk, ViewPaintsEachColourInPlace) {
    const Colour red = 0x0000FF, green = 0x00FF00, blue = 0xFF0000, mixed = 0x123456;
    BeginDrawing(Front);
    FillBox(0, 0, 250, 256, red);
    FillBox(250, 0, 250, 256, green);
    FillBox(500, 0, 250, 256, blue);
    FillBox(750, 0, 250, 256, mixed);
    EndDrawing();
    ShowPicture(Front);
    EXPECT_EQ(ProbeViewPixel(0, 0), red);
    EXPECT_EQ(ProbeViewPixel(300, 100), green);
    EXPECT_EQ(ProbeViewPixel(600, 200), blue);
    EXPECT_EQ(ProbeViewPixel(999, 255), mixed);
}

TEST_F(Fltk, WindowStandsInTheMiddleOfTheScreen) {
    Fl_Double_Window* window = fltk::MainWindowWidget();
    int x = 0, y = 0;
    ::Window child = 0;
    XTranslateCoordinates(fl_display, fl_xid(window), DefaultRootWindow(fl_display), 0, 0, &x, &y,
                          &child);
    int screenX = 0, screenY = 0, screenWidth = 0, screenHeight = 0;
    Fl::screen_xywh(screenX, screenY, screenWidth, screenHeight, 0);
    // A window manager's frame may shift the client area a little.
    EXPECT_NEAR(x + 500, screenX + screenWidth / 2, 30);
    EXPECT_NEAR(y + 140, screenY + screenHeight / 2, 40);
}

std::string seenTitle;
bool seenModal = false;

// Looks at the message box and closes it as the user would.
void CloseMessageBox(void*) {
    Fl_Window* box = nullptr;
    for (Fl_Window* window = Fl::first_window(); window; window = Fl::next_window(window))
        if (window != fltk::MainWindowWidget())
            box = window;
    if (!box)
        return;
    seenTitle = box->label() ? box->label() : "";
    seenModal = box->modal() != 0;
    box->hide();
}

TEST_F(Fltk, MessageBoxIsModalWithItsTitleAndReturnsWhenClosed) {
    seenTitle.clear();
    seenModal = false;
    Fl::add_timeout(0.3, CloseMessageBox);
    ShowMessage(u"Kurvomat - 1.0.0.1", u"Name:\t\tKurvomat\r\nZeile zwei mit @ und &");
    Fl::remove_timeout(CloseMessageBox);
    EXPECT_EQ(seenTitle, "Kurvomat - 1.0.0.1");
    EXPECT_TRUE(seenModal);
    EXPECT_EQ(ControlState(Toggle), 0) << "the main window is untouched";
}

} // namespace

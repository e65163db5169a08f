// End to end on Linux: the native viewer and the virtual board on an X
// display, driven as a user would with xdotool, the result read from the
// screen.
#include "running.h"
#include "serial/serial.h"

#include <gtest/gtest.h>

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <stdlib.h>

#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

namespace {

const char* const Title = "Kurvomat - 1.0.0.1";
// Where things are in the window's client area.
const int ViewWidth = 1000;
const int ViewHeight = 256;
const int BarTop = 256;
const int ButtonX = 640, ButtonY = BarTop + 3, ButtonWidth = 70, ButtonHeight = 18;
const int FieldWidth = 70, FieldHeight = 23;

using testing_linux::Pause;
using testing_linux::Running;

// Runs a command and returns what it printed.
std::string Output(const std::string& command) {
    std::string text;
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe)
        return text;
    char buffer[256];
    while (fgets(buffer, sizeof buffer, pipe))
        text += buffer;
    pclose(pipe);
    return text;
}

struct Rgb {
    int r, g, b;
    bool operator==(const Rgb& o) const { return r == o.r && g == o.g && b == o.b; }
};

class Screen {
  public:
    Screen() : display(XOpenDisplay(nullptr)) {}
    ~Screen() {
        if (display)
            XCloseDisplay(display);
    }
    bool ok() const { return display != nullptr; }

    // A part of a window as it is on the screen, row by row.
    std::vector<Rgb> Grab(Window window, int x, int y, int width, int height) {
        std::vector<Rgb> pixels;
        XSync(display, False);
        XImage* image = XGetImage(display, window, x, y, width, height, AllPlanes, ZPixmap);
        if (!image)
            return pixels;
        for (int row = 0; row < height; ++row)
            for (int column = 0; column < width; ++column) {
                unsigned long pixel = XGetPixel(image, column, row);
                pixels.push_back({Channel(pixel, image->red_mask),
                                  Channel(pixel, image->green_mask),
                                  Channel(pixel, image->blue_mask)});
            }
        XDestroyImage(image);
        return pixels;
    }
    bool Exists(Window window) {
        XWindowAttributes attributes;
        return XGetWindowAttributes(display, window, &attributes) != 0;
    }

  private:
    static int Channel(unsigned long pixel, unsigned long mask) {
        int shift = 0;
        while (mask && !(mask & 1)) {
            mask >>= 1;
            ++shift;
        }
        return mask ? int(((pixel >> shift) & mask) * 255 / mask) : 0;
    }
    Display* display;
};

int Differences(const std::vector<Rgb>& a, const std::vector<Rgb>& b) {
    if (a.size() != b.size())
        return int(std::max(a.size(), b.size()));
    int count = 0;
    for (size_t i = 0; i < a.size(); ++i)
        count += a[i] == b[i] ? 0 : 1;
    return count;
}

// The trace in the picture: for each column the mean value (255 minus the
// row) of its pure blue pixels, -1 where the column has none.
std::vector<double> TraceValues(const std::vector<Rgb>& view) {
    std::vector<double> values(ViewWidth, -1);
    for (int x = 0; x < ViewWidth; ++x) {
        double sum = 0;
        int count = 0;
        for (int y = 0; y < ViewHeight; ++y) {
            const Rgb& p = view[size_t(y) * ViewWidth + x];
            if (p.b >= 200 && p.r < 80 && p.g < 80) {
                sum += 255 - y;
                ++count;
            }
        }
        if (count)
            values[x] = sum / count;
    }
    return values;
}

// Why the picture is not the board's sine (250 Hz, 128 +- 100 at 92160
// samples a second: 368.64 columns a period); empty if it is.
std::string SineFault(const std::vector<Rgb>& view) {
    if (view.size() != size_t(ViewWidth) * ViewHeight)
        return "no picture";
    std::vector<double> values = TraceValues(view);
    int traced = 0;
    double low = 255, high = 0;
    std::vector<int> rises;
    for (int x = 0; x < ViewWidth; ++x) {
        if (values[x] < 0)
            continue;
        ++traced;
        low = std::min(low, values[x]);
        high = std::max(high, values[x]);
        if (x > 0 && values[x - 1] >= 0 && values[x - 1] < 128 && values[x] >= 128)
            rises.push_back(x);
    }
    if (traced < ViewWidth - 5)
        return "trace in " + std::to_string(traced) + " columns";
    if (low < 24 || low > 32 || high < 223 || high > 231)
        return "trace from " + std::to_string(low) + " to " + std::to_string(high);
    if (rises.size() < 2)
        return std::to_string(rises.size()) + " rising crossings";
    for (size_t i = 1; i < rises.size(); ++i) {
        int period = rises[i] - rises[i - 1];
        if (period < 360 || period > 377)
            return "a period of " + std::to_string(period) + " columns";
    }
    // The shape: a sine through the first rising crossing.
    const double Period = 92160.0 / 250.0;
    double error = 0;
    for (int x = 0; x < ViewWidth; ++x) {
        if (values[x] >= 0)
            error += std::abs(values[x] -
                              (128 + 100 * std::sin(2 * M_PI * (x - rises[0] + 0.5) / Period)));
    }
    if (error / traced > 4)
        return "off a sine by " + std::to_string(error / traced) + " on average";
    return std::string();
}

class EndToEnd : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(screen.ok()) << "no X display";
        // The viewer offers every running board first; the test's board must
        // be the only one.
        for (const std::string& device : ListSerialDevices("/"))
            ASSERT_NE(device.rfind("/dev/pts/", 0), 0u)
                << "another virtual board is running on " << device << "; stop it first";
    }

    // The viewer's window, once it is there.
    Window FindWindow() {
        std::string found =
            Output(std::string("timeout 20 xdotool search --sync --onlyvisible --name '^") +
                   "Kurvomat - 1\\.0\\.0\\.1$' 2>/dev/null");
        return Window(strtoul(found.c_str(), nullptr, 10));
    }
    void Click(Window window, int x, int y) {
        std::string id = std::to_string(window);
        Output("xdotool mousemove --window " + id + " " + std::to_string(x) + " " +
               std::to_string(y) + " click 1");
        // The pointer leaves, so that no tooltip covers what is looked at.
        Output("xdotool mousemove --window " + id + " 500 120");
    }
    std::vector<Rgb> Button(Window window) {
        return screen.Grab(window, ButtonX, ButtonY, ButtonWidth, ButtonHeight);
    }
    std::vector<Rgb> FirstField(Window window) {
        return screen.Grab(window, 0, BarTop, FieldWidth, FieldHeight);
    }

    Screen screen;
};

TEST_F(EndToEnd, ViewerShowsTheBoardsSineAndLetsGoWhenTheBoardStops) {
    Running board(KURVOMAT_BOARD, {"--wave", "sine", "--frequency", "250", "--amplitude", "100",
                                   "--offset", "128", "--quiet"});
    ASSERT_FALSE(board.Awaited("kurvomat-board: published as ").empty()) << board.Log();
    Running viewer(KURVOMAT_VIEWER, {});
    Window window = FindWindow();
    ASSERT_NE(window, 0u) << "no window titled " << Title << "\n" << viewer.Log();
    Pause(500);
    const std::vector<Rgb> buttonUp = Button(window);
    const std::vector<Rgb> idleField = FirstField(window);

    // "Verbinden" opens the first port offered: the board's.
    Click(window, ButtonX + ButtonWidth / 2, ButtonY + ButtonHeight / 2);
    ASSERT_EQ(board.Awaited("kurvomat-board: reader "), "connected") << board.Log();

    std::string fault = "not looked at";
    for (int i = 0; i < 50 && !fault.empty(); ++i) {
        Pause(100);
        fault = SineFault(screen.Grab(window, 0, 0, ViewWidth, ViewHeight));
    }
    EXPECT_EQ(fault, "") << "the picture is not the board's sine";
    const std::vector<Rgb> buttonDown = Button(window);
    EXPECT_GT(Differences(buttonDown, buttonUp), 100) << "the button is down, caption Trennen";
    EXPECT_GT(Differences(FirstField(window), idleField), 10) << "figures while connected";

    // The board stops: the link closes, the button comes up and the status
    // bar is at rest again, while the viewer runs on.
    EXPECT_EQ(board.Stop(), 0);
    bool atRest = false;
    for (int i = 0; i < 100 && !atRest; ++i) {
        Pause(50);
        atRest = Differences(FirstField(window), idleField) == 0;
    }
    EXPECT_TRUE(atRest) << "the status bar does not show 0 FPS again";
    std::vector<Rgb> buttonAfter = Button(window);
    EXPECT_LT(Differences(buttonAfter, buttonUp), Differences(buttonAfter, buttonDown))
        << "the button did not come up";
    Pause(300);
    EXPECT_TRUE(viewer.StillRunning()) << viewer.Log();
    EXPECT_TRUE(screen.Exists(window));

    // The port is gone: another press fails to open it and the button comes
    // straight up again.
    Click(window, ButtonX + ButtonWidth / 2, ButtonY + ButtonHeight / 2);
    Pause(500);
    buttonAfter = Button(window);
    EXPECT_LT(Differences(buttonAfter, buttonUp), Differences(buttonAfter, buttonDown));
    EXPECT_TRUE(viewer.StillRunning()) << viewer.Log();
}

} // namespace

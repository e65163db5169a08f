// What the Windows back end promises beyond the toolkit conformance suite:
// the window class, the fonts and identifiers of the controls, the common
// controls of the manifest, the status bar's text forms, the owner of a
// message box, one message per PollEvent and painting from the program's own
// pixel buffers. Runs under Wine (tests/wine/tests.cmake).
#include "app/toolkit/probe.h"
#include "app/toolkit/toolkit.h"
#include "app/toolkit/win32_backend.h"
#include "tests/conformance/toolkit_fixture.h"

#include <windows.h>

#include <commctrl.h>

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

namespace {

using namespace fixture;

class Win32Backend : public ToolkitWindow {
  protected:
    void SetUp() override {
        ToolkitWindow::SetUp();
        main = win32::MainHandle();
    }
    HWND main = nullptr;
};

std::wstring RawStatusText(int field, int* type) {
    HWND bar = win32::StatusBarHandle();
    LRESULT info = SendMessageW(bar, SB_GETTEXTLENGTHW, field, 0);
    *type = HIWORD(info);
    std::wstring text(LOWORD(info) + 1, L'\0');
    SendMessageW(bar, SB_GETTEXTW, field, reinterpret_cast<LPARAM>(&text[0]));
    text.resize(LOWORD(info));
    return text;
}

SIZE IconSize(HICON icon, int* bitsPerPixel) {
    ICONINFO info = {};
    SIZE size = {0, 0};
    *bitsPerPixel = 0;
    if (!icon || !GetIconInfo(icon, &info))
        return size;
    BITMAP bitmap = {};
    if (info.hbmColor && GetObjectW(info.hbmColor, sizeof(bitmap), &bitmap)) {
        size.cx = bitmap.bmWidth;
        size.cy = bitmap.bmHeight;
        *bitsPerPixel = bitmap.bmBitsPixel;
    }
    DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
    return size;
}

TEST_F(Win32Backend, WindowClassHasTheIconTheArrowTheButtonFaceAndDoubleClicks) {
    EXPECT_TRUE(GetClassLongPtrW(main, GCL_STYLE) & CS_DBLCLKS);
    EXPECT_EQ(reinterpret_cast<HCURSOR>(GetClassLongPtrW(main, GCLP_HCURSOR)),
              LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW)));
    EXPECT_EQ(GetClassLongPtrW(main, GCLP_HBRBACKGROUND),
              static_cast<ULONG_PTR>(COLOR_BTNFACE + 1));
    int bits = 0;
    SIZE big = IconSize(reinterpret_cast<HICON>(GetClassLongPtrW(main, GCLP_HICON)), &bits);
    EXPECT_EQ(big.cx, GetSystemMetrics(SM_CXICON));
    EXPECT_EQ(big.cy, GetSystemMetrics(SM_CYICON));
    EXPECT_EQ(bits, 32) << "the icon's own 32-bit image is taken";
    SIZE small = IconSize(reinterpret_cast<HICON>(GetClassLongPtrW(main, GCLP_HICONSM)), &bits);
    EXPECT_EQ(small.cx, GetSystemMetrics(SM_CXSMICON));
    EXPECT_EQ(small.cy, GetSystemMetrics(SM_CYSMICON));
}

TEST_F(Win32Backend, ManifestBringsTheCommonControls6) {
    EXPECT_TRUE(win32::CommonControls6Loaded());
    // Only the buttons of the common controls 6 know their ideal size.
    SIZE ideal = {0, 0};
    EXPECT_TRUE(SendMessageW(win32::ObjectHandle(Toggle), BCM_GETIDEALSIZE, 0,
                             reinterpret_cast<LPARAM>(&ideal)));
    EXPECT_GT(ideal.cx, 0);
}

TEST_F(Win32Backend, ControlsCarryTheirNumberAndTheDefaultGuiFont) {
    HGDIOBJ font = GetStockObject(DEFAULT_GUI_FONT);
    for (int control : {Edit, Toggle, List}) {
        SCOPED_TRACE(control);
        HWND h = win32::ObjectHandle(control);
        ASSERT_NE(h, nullptr);
        EXPECT_EQ(GetDlgCtrlID(h), control);
        EXPECT_EQ(reinterpret_cast<HGDIOBJ>(SendMessageW(h, WM_GETFONT, 0, 0)), font);
    }
    EXPECT_EQ(GetDlgCtrlID(win32::ViewHandle()), View);
}

TEST_F(Win32Backend, StatusTextsCarryTheirAlignmentAsTabsAndTheBorderAsType) {
    StatusText(0, u"0 FPS", StatusCentred);
    StatusText(3, u"COM-Auslastung: ", StatusRightAligned | StatusNoBorder);
    StatusText(1, u"links", 0);
    int type = 0;
    EXPECT_EQ(RawStatusText(0, &type), L"\t0 FPS");
    EXPECT_EQ(type & SBT_NOBORDERS, 0);
    std::wstring label = RawStatusText(3, &type);
    EXPECT_EQ(label, win32::PadsRightAlignedText() ? L"\t\tCOM-Auslastung:     "
                                                   : L"\t\tCOM-Auslastung: ");
    EXPECT_EQ(type & SBT_NOBORDERS, SBT_NOBORDERS);
    EXPECT_EQ(RawStatusText(1, &type), L"links");
}

TEST_F(Win32Backend, ProgressBarIsSmoothAndLiesInItsField) {
    StatusProgress(4, 3, 0, 10);
    HWND progress = win32::ProgressHandle(4);
    ASSERT_NE(progress, nullptr);
    EXPECT_EQ(GetParent(progress), win32::StatusBarHandle());
    EXPECT_TRUE(GetWindowLongPtrW(progress, GWL_STYLE) & PBS_SMOOTH);
    RECT field = {}, bar = {};
    SendMessageW(win32::StatusBarHandle(), SB_GETRECT, 4, reinterpret_cast<LPARAM>(&field));
    GetWindowRect(progress, &bar);
    MapWindowPoints(HWND_DESKTOP, win32::StatusBarHandle(), reinterpret_cast<POINT*>(&bar), 2);
    EXPECT_GE(bar.left, field.left);
    EXPECT_LE(bar.right, field.right);
    EXPECT_GE(bar.top, field.top);
    EXPECT_LE(bar.bottom, field.bottom);
    StatusProgress(4, 9, 0, 10);
    EXPECT_EQ(win32::ProgressHandle(4), progress) << "one bar per field, reused";
    EXPECT_EQ(SendMessageW(progress, PBM_GETPOS, 0, 0), 9);
}

TEST_F(Win32Backend, PollEventTakesOneMessageAtATime) {
    const UINT code = WM_APP + 7;
    for (int i = 0; i < 3; ++i)
        PostMessageW(main, code, 0, 0);
    EXPECT_EQ(PollEvent(), static_cast<int>(code));
    EXPECT_EQ(PollEvent(), static_cast<int>(code));
    EXPECT_EQ(PollEvent(), static_cast<int>(code));
    EXPECT_EQ(PollEvent(), 0);
}

TEST_F(Win32Backend, OnlyTheMainWindowsCloseCountsAsCloseRequest) {
    // A WM_CLOSE that is not the main window's (here a thread message) is
    // no close request.
    PostThreadMessageW(GetCurrentThreadId(), WM_CLOSE, 0, 0);
    EXPECT_EQ(PollEvent(), 0);
    PostMessageW(main, WM_CLOSE, 0, 0);
    EXPECT_EQ(PollEvent(), CloseRequest);
    EXPECT_EQ(PollEvent(), 0) << "reported once";
    EXPECT_TRUE(IsWindow(main) && IsWindowVisible(main));
}

// Closes the next message box of this process from a second thread and
// records its owner and whether the main window took input meanwhile.
struct BoxCloser {
    std::atomic<HWND> owner{nullptr};
    std::atomic<bool> found{false};
    std::atomic<bool> mainEnabled{true};
    std::thread thread;

    explicit BoxCloser(HWND main, DWORD threadId) {
        thread = std::thread([this, main, threadId] {
            for (int i = 0; i < 500 && !found; ++i) {
                EnumThreadWindows(
                    threadId,
                    [](HWND h, LPARAM data) -> BOOL {
                        wchar_t name[16] = {};
                        GetClassNameW(h, name, 16);
                        if (lstrcmpW(name, L"#32770") != 0 || !IsWindowVisible(h))
                            return TRUE;
                        *reinterpret_cast<HWND*>(data) = h;
                        return FALSE;
                    },
                    reinterpret_cast<LPARAM>(&box));
                if (box) {
                    owner = GetWindow(box, GW_OWNER);
                    mainEnabled = IsWindowEnabled(main) != 0;
                    found = true;
                    PostMessageW(box, WM_COMMAND, IDOK, 0);
                    break;
                }
                Sleep(10);
            }
        });
    }
    ~BoxCloser() {
        if (thread.joinable())
            thread.join();
    }
    HWND box = nullptr;
};

TEST_F(Win32Backend, MessageBoxBelongsToTheForegroundMainWindow) {
    SetForegroundWindow(main);
    ProbeDrainEvents();
    if (GetForegroundWindow() != main)
        GTEST_SKIP() << "the main window could not be brought to the front";
    BoxCloser closer(main, GetCurrentThreadId());
    ShowMessage(u"Kurvomat - 1.0.0.1", u"Zeile 1\r\nZeile 2");
    closer.thread.join();
    ASSERT_TRUE(closer.found);
    EXPECT_EQ(closer.owner.load(), main);
    EXPECT_FALSE(closer.mainEnabled) << "the window takes no input while the box is open";
    EXPECT_TRUE(IsWindowEnabled(main)) << "and takes input again afterwards";
}

TEST_F(Win32Backend, PictureWithOddRowLengthIsPaintedUnsheared) {
    // 333 pixels make rows of 999 bytes, which a device-independent bitmap
    // pads to 1000.
    CreatePicture(Back, 333, 20);
    BeginDrawing(Back);
    FillBox(0, 0, 333, 20, 0xFFFFFF);
    DrawLine(0, 19, 332, 19, 0x0000FF);
    DrawLine(332, 0, 332, 19, 0x00FF00);
    EndDrawing();
    ShowPicture(Back);
    int width = 0, height = 0;
    ProbeViewSize(&width, &height);
    EXPECT_EQ(width, 333);
    EXPECT_EQ(height, 20);
    for (int y = 0; y < 19; ++y) {
        EXPECT_EQ(ProbeViewPixel(332, y), 0x00FF00u) << y;
        EXPECT_EQ(ProbeViewPixel(0, y), 0xFFFFFFu) << y;
    }
    EXPECT_EQ(ProbeViewPixel(0, 19), 0x0000FFu);
    EXPECT_EQ(ProbeViewPixel(166, 19), 0x0000FFu);
}

// Every pixel of the view as the screen holds it, read back at 32 bits.
std::vector<Colour> ViewPixels(int width, int height) {
    std::vector<Colour> colours;
    HWND view = win32::ViewHandle();
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HDC screen = GetDC(view);
    HBITMAP copy = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HDC memory = CreateCompatibleDC(screen);
    HGDIOBJ old = SelectObject(memory, copy);
    BitBlt(memory, 0, 0, width, height, screen, 0, 0, SRCCOPY);
    GdiFlush();
    for (int i = 0; i < width * height; ++i) {
        uint32_t p = static_cast<const uint32_t*>(bits)[i];
        colours.push_back((p >> 16 & 0xFF) | (p & 0xFF00) | (p & 0xFF) << 16);
    }
    SelectObject(memory, old);
    DeleteDC(memory);
    DeleteObject(copy);
    ReleaseDC(view, screen);
    return colours;
}

TEST_F(Win32Backend, EveryPixelReachesTheScreenWithItsOwnColour) {
    // Widths around the four pixels converted at a time, and the full
    // picture; every pixel has a colour of its own in all three channels.
    for (int width : {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 333, 1000}) {
        int height = width == 1000 ? 256 : 3;
        CreatePicture(Back, width, height);
        BeginDrawing(Back);
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                FillBox(x, y, 1, 1, (static_cast<Colour>(y * width + x + 1) * 2654435761u) >> 8);
        EndDrawing();
        ShowPicture(Back);
        std::vector<Colour> shown = ViewPixels(width, height);
        int wrong = 0;
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                if (shown[y * width + x] != PixelAt(Back, x, y) && wrong++ < 3)
                    ADD_FAILURE() << "width " << width << ": pixel " << x << ", " << y << " is "
                                  << std::hex << shown[y * width + x] << " instead of "
                                  << PixelAt(Back, x, y);
        EXPECT_EQ(wrong, 0) << "width " << width;
    }
}

TEST_F(Win32Backend, ViewRepaintsThePictureItHoldsWhenTheSystemAsks) {
    BeginDrawing(Back);
    FillBox(0, 0, 1000, 256, 0xFFFFFF);
    EndDrawing();
    ShowPicture(Back);
    EXPECT_EQ(ProbeViewPixel(10, 10), 0xFFFFFFu);
    // The view keeps a reference: drawn afterwards, the picture shows at the
    // next repaint the window system asks for.
    BeginDrawing(Back);
    FillBox(0, 0, 20, 20, 0xFF0000);
    EndDrawing();
    int paints = ProbePaintCount();
    RedrawWindow(win32::ViewHandle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    EXPECT_GT(ProbePaintCount(), paints);
    EXPECT_EQ(ProbeViewPixel(10, 10), 0xFF0000u);
    EXPECT_EQ(ProbeShownPicture(), Back);
}

} // namespace

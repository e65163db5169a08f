// The Windows back end of the toolkit: user32 windows and common controls,
// gdi32 painting of the program's own pixel buffers, kernel32 and winmm time.
// Texts are UTF-16 on both sides; Text maps directly onto wchar_t.
#include "toolkit.h"
#include "win32_backend.h"

#include <windows.h>

#include <commctrl.h>
#include <objbase.h>
#include <shlwapi.h>
#include <tmmintrin.h>

#include <algorithm>
#include <cstring>
#include <cwchar>
#include <vector>

namespace {

const wchar_t* const WindowClassName = L"KurvomatMainWindow";
const int MaxObjects = 16;
const int MaxFields = 8;
// Room for a combo's dropped list.
const int ComboCreateHeight = 350;
const int StatusMinHeight = 18;

struct Backend {
    HINSTANCE instance = nullptr;
    bool classRegistered = false;
    HWND handles[MaxObjects] = {};
    HWND main = nullptr;      // the main window
    HWND statusBar = nullptr; // its status bar
    ControlKind kinds[MaxObjects] = {};
    bool isControl[MaxObjects] = {}; // made by CreateControl
    std::vector<int> tabOrder;
    HWND toolTip = nullptr;
    HWND view = nullptr; // the picture view
    int viewControl = -1;
    HWND progress[MaxFields] = {};
    int shownPicture = -1;
    int paintCount = 0;
    std::vector<uint32_t> frame; // the shown picture at 32 bits a pixel
    bool closeRequested = false;
    bool comInitialised = false;
    bool padsRightText = false;
};

Backend B;

const wchar_t* Wide(const Text& text) {
    return reinterpret_cast<const wchar_t*>(text.c_str());
}

Text FromWide(const wchar_t* text, size_t length) {
    return Text(reinterpret_cast<const char16_t*>(text), length);
}

HWND Handle(int number) {
    if (number < 0 || number >= MaxObjects) {
        return nullptr;
    }
    return B.handles[number];
}

// A control made by CreateControl, or nullptr.
HWND ControlHandle(int control) {
    HWND h = Handle(control);
    return h && B.isControl[control] ? h : nullptr;
}

Text WindowText(HWND h) {
    int length = GetWindowTextLengthW(h);
    std::vector<wchar_t> buffer(length + 1);
    int got = GetWindowTextW(h, buffer.data(), length + 1);
    return FromWide(buffer.data(), got > 0 ? got : 0);
}

Text ComboItemText(HWND combo, int index) {
    LRESULT length = SendMessageW(combo, CB_GETLBTEXTLEN, index, 0);
    if (length == CB_ERR) {
        return Text();
    }
    std::vector<wchar_t> buffer(length + 1);
    LRESULT got = SendMessageW(combo, CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(buffer.data()));
    return FromWide(buffer.data(), got > 0 ? got : 0);
}

// A function of a loaded library, or nullptr.
template <typename Function> Function LibraryFunction(HMODULE library, const char* name) {
    return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(library, name)));
}

// Visual styles are active when the manifest brought in the common controls
// 6 and a theme is in use.
bool VisualStylesActive() {
    if (!win32::CommonControls6Loaded()) {
        return false;
    }
    HMODULE uxtheme = LoadLibraryW(L"uxtheme.dll");
    if (!uxtheme) {
        return false;
    }
    using IsAppThemedProc = BOOL(WINAPI*)();
    auto isAppThemed = LibraryFunction<IsAppThemedProc>(uxtheme, "IsAppThemed");
    bool themed = isAppThemed && isAppThemed();
    FreeLibrary(uxtheme);
    return themed;
}

// Converts the leading blue-green-red pixels into 32-bit ones, four at a
// time with one byte shuffle (three times as fast as one pixel at a time);
// returns how many it converted.
__attribute__((target("ssse3"))) size_t ConvertPixelsShuffled(const uint8_t* source,
                                                              uint32_t* target, size_t count) {
    const __m128i spread = _mm_setr_epi8(0, 1, 2, -1, 3, 4, 5, -1, 6, 7, 8, -1, 9, 10, 11, -1);
    size_t i = 0;
    // A load takes 16 bytes: pixels i to i + 4 and the first byte of i + 5.
    for (; i + 5 < count; i += 4, source += 12) {
        __m128i pixels = _mm_loadu_si128(reinterpret_cast<const __m128i*>(source));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(target + i), _mm_shuffle_epi8(pixels, spread));
    }
    return i;
}

void ConvertPixels(const uint8_t* source, uint32_t* target, size_t count) {
    static const bool shuffle = [] {
        __builtin_cpu_init();
        return __builtin_cpu_supports("ssse3") != 0;
    }();
    size_t i = shuffle ? ConvertPixelsShuffled(source, target, count) : 0;
    for (source += 3 * i; i < count; i++, source += 3) {
        target[i] = source[0] | source[1] << 8 | source[2] << 16;
    }
}

// Paints the picture the view holds at (0, 0) at the picture's own size.
// The 24-bit pixels are converted here: Wine converts a 24-bit image on its
// way to the screen several times slower than this loop does.
void PaintView(HDC dc) {
    B.paintCount++;
    const Picture* picture = PictureByNumber(B.shownPicture);
    if (!picture || picture->width <= 0 || picture->height <= 0) {
        return;
    }
    size_t count = static_cast<size_t>(picture->width) * picture->height;
    B.frame.resize(count);
    ConvertPixels(picture->pixels.data(), B.frame.data(), count);
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = picture->width;
    info.bmiHeader.biHeight = -picture->height; // top row first
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    SetDIBitsToDevice(dc, 0, 0, picture->width, picture->height, 0, 0, 0, picture->height,
                      B.frame.data(), &info, DIB_RGB_COLORS);
}

LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CLOSE:
        // The program decides; the window stays open.
        B.closeRequested = true;
        return 0;
    case WM_DRAWITEM: {
        auto* item = reinterpret_cast<DRAWITEMSTRUCT*>(lParam);
        if (item && B.view && item->hwndItem == B.view) {
            PaintView(item->hDC);
            return TRUE;
        }
        break;
    }
    case WM_SIZE:
        if (HWND bar = B.statusBar) {
            SendMessageW(bar, WM_SIZE, 0, 0);
        }
        break;
    default:
        break;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

// Keyboard focus: the control holding the focus, in tab order.
int FocusedTabIndex() {
    int control = win32::ControlNumberOf(GetFocus());
    for (size_t i = 0; i < B.tabOrder.size(); i++) {
        if (B.tabOrder[i] == control) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

// Tab and Shift+Tab move the focus to the next or previous enabled control
// in creation order, wrapping around.
bool HandleTabKey(const MSG& message) {
    HWND main = B.main;
    if (message.message != WM_KEYDOWN || message.wParam != VK_TAB || !main ||
        (message.hwnd != main && !IsChild(main, message.hwnd))) {
        return false;
    }
    int count = static_cast<int>(B.tabOrder.size());
    if (count == 0) {
        return true;
    }
    int step = GetKeyState(VK_SHIFT) < 0 ? -1 : 1;
    int current = FocusedTabIndex();
    int index = current;
    if (current < 0) {
        index = step > 0 ? -1 : count;
    }
    for (int tried = 0; tried < count; tried++) {
        index = ((index + step) % count + count) % count;
        HWND h = B.handles[B.tabOrder[index]];
        if (h && IsWindowEnabled(h) && IsWindowVisible(h)) {
            SetFocus(h);
            break;
        }
    }
    return true;
}

void SetFontOf(HWND h) {
    SendMessageW(h, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), FALSE);
}

// Sizes a combo's selection field so that the closed control is exactly
// the given height. The closed height grows one to one with the field's
// height; the field's height is steered by the measured closed height only,
// as the value CB_GETITEMHEIGHT reports back differs between platforms.
void SizeClosedCombo(HWND combo, int height) {
    LRESULT item = SendMessageW(combo, CB_GETITEMHEIGHT, static_cast<WPARAM>(-1), 0);
    if (item == CB_ERR) {
        return;
    }
    int field = static_cast<int>(item);
    for (int attempt = 0; attempt < 4; attempt++) {
        RECT rect;
        GetWindowRect(combo, &rect);
        int closed = rect.bottom - rect.top;
        if (closed == height) {
            return;
        }
        field += height - closed;
        if (field < 1) {
            return;
        }
        SendMessageW(combo, CB_SETITEMHEIGHT, static_cast<WPARAM>(-1), field);
    }
}

void AddTool(HWND owner, HWND tool, const Text& text) {
    TOOLINFOW info = {};
    info.cbSize = sizeof(info);
    // No TTF_SUBCLASS: PollEvent relays the mouse messages. Under Wine every
    // message to a window subclassed that way costs several wineserver
    // round trips, and the program asks its controls for their state on
    // every pass.
    info.uFlags = TTF_IDISHWND;
    info.hwnd = owner;
    info.uId = reinterpret_cast<UINT_PTR>(tool);
    info.lpszText = const_cast<wchar_t*>(Wide(text));
    if (!SendMessageW(B.toolTip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&info))) {
        return;
    }
    SendMessageW(B.toolTip, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&info));
}

} // namespace

// ---- the back end seen from its probe -----------------------------------------

namespace win32 {

bool CommonControls6Loaded() {
    HMODULE comctl = GetModuleHandleW(L"comctl32.dll");
    if (!comctl) {
        return false;
    }
    auto getVersion = LibraryFunction<DLLGETVERSIONPROC>(comctl, "DllGetVersion");
    DLLVERSIONINFO version = {};
    version.cbSize = sizeof(version);
    if (getVersion && getVersion(&version) == S_OK && version.dwMajorVersion >= 6) {
        return true;
    }
    // Wine's copy reports 5.81 whichever assembly it was loaded from.
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(comctl, path, MAX_PATH);
    CharLowerW(path);
    return wcsstr(path, L"microsoft.windows.common-controls_6595b64144ccf1df_6.") != nullptr;
}

HWND ObjectHandle(int number) {
    return Handle(number);
}

int ControlNumberOf(HWND h) {
    for (; h; h = GetParent(h)) {
        for (int number = 5; number < MaxObjects; number++) {
            if (B.handles[number] == h) {
                return number;
            }
        }
        if (h == B.main) {
            break;
        }
    }
    return -1;
}

HWND ComboEdit(int control) {
    HWND h = ControlHandle(control);
    if (!h || B.kinds[control] != EditableCombo) {
        return nullptr;
    }
    COMBOBOXINFO info = {};
    info.cbSize = sizeof(info);
    if (!GetComboBoxInfo(h, &info)) {
        return nullptr;
    }
    return info.hwndItem;
}

HWND MainHandle() {
    return B.main;
}

HWND StatusBarHandle() {
    return B.statusBar;
}

HWND ViewHandle() {
    return B.view;
}

HWND ToolTipHandle() {
    return B.toolTip;
}

HWND ProgressHandle(int field) {
    return field >= 0 && field < MaxFields ? B.progress[field] : nullptr;
}

int ShownPicture() {
    return B.shownPicture;
}

int PaintCount() {
    return B.paintCount;
}

bool PadsRightAlignedText() {
    return B.padsRightText;
}

} // namespace win32

// ---- set-up and release ---------------------------------------------------------

void InitToolkit() {
    B = Backend();
    B.instance = GetModuleHandleW(nullptr);
    INITCOMMONCONTROLSEX controls = {};
    controls.dwSize = sizeof(controls);
    controls.dwICC =
        ICC_WIN95_CLASSES | ICC_BAR_CLASSES | ICC_PROGRESS_CLASS | ICC_STANDARD_CLASSES;
    InitCommonControlsEx(&controls);
    B.comInitialised = SUCCEEDED(CoInitialize(nullptr));
    B.padsRightText = VisualStylesActive();
}

void ReleaseToolkit() {
    if (B.comInitialised) {
        CoUninitialize();
    }
    B = Backend();
}

int OpenWindow(int window, const Text& title, int clientWidth, int clientHeight) {
    if (window < 0 || window >= MaxObjects) {
        return 0;
    }
    if (!B.classRegistered) {
        WNDCLASSEXW windowClass = {};
        windowClass.cbSize = sizeof(windowClass);
        windowClass.style = CS_DBLCLKS;
        windowClass.lpfnWndProc = MainWindowProc;
        windowClass.hInstance = B.instance;
        windowClass.hIcon = LoadIconW(B.instance, MAKEINTRESOURCEW(1));
        windowClass.hIconSm = static_cast<HICON>(
            LoadImageW(B.instance, MAKEINTRESOURCEW(1), IMAGE_ICON, GetSystemMetrics(SM_CXSMICON),
                       GetSystemMetrics(SM_CYSMICON), LR_DEFAULTCOLOR));
        windowClass.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
        windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
        windowClass.lpszClassName = WindowClassName;
        if (!RegisterClassExW(&windowClass)) {
            return 0;
        }
        B.classRegistered = true;
    }
    const DWORD style = WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
    RECT rect = {0, 0, clientWidth, clientHeight};
    AdjustWindowRect(&rect, style, FALSE);
    int screenWidth = GetSystemMetrics(SM_CXSCREEN);
    int screenHeight = GetSystemMetrics(SM_CYSCREEN);
    int outerWidth = std::min<int>(rect.right - rect.left, screenWidth);
    int outerHeight = std::min<int>(rect.bottom - rect.top, screenHeight);
    HWND h = CreateWindowExW(0, WindowClassName, Wide(title), style, (screenWidth - outerWidth) / 2,
                             (screenHeight - outerHeight) / 2, outerWidth, outerHeight, nullptr,
                             nullptr, B.instance, nullptr);
    if (!h) {
        return 0;
    }
    B.handles[window] = h;
    B.main = h;
    ShowWindow(h, SW_SHOWNORMAL);
    UpdateWindow(h);
    return 1;
}

int CreateStatusBar(int bar, int window) {
    HWND parent = Handle(window);
    if (!parent || bar < 0 || bar >= MaxObjects) {
        return 0;
    }
    HWND h = CreateStatusWindowW(WS_CHILD | WS_VISIBLE, L"", parent, bar);
    if (!h) {
        return 0;
    }
    B.handles[bar] = h;
    B.statusBar = h;
    SendMessageW(h, SB_SETMINHEIGHT, StatusMinHeight, 0);
    SendMessageW(h, WM_SIZE, 0, 0);
    return 1;
}

void SetStatusFields(int bar, const std::vector<int>& rightEdges) {
    HWND h = Handle(bar);
    if (!h || rightEdges.empty()) {
        return;
    }
    std::vector<int> edges(rightEdges.begin(), rightEdges.end());
    SendMessageW(h, SB_SETPARTS, edges.size(), reinterpret_cast<LPARAM>(edges.data()));
}

void CreateControl(int control, int window, ControlKind kind, int x, int y, int width, int height,
                   const Text& caption) {
    HWND parent = Handle(window);
    if (!parent || control < 0 || control >= MaxObjects || B.handles[control]) {
        return;
    }
    const DWORD comboStyle = WS_CHILD | WS_VISIBLE | WS_BORDER | WS_VSCROLL | WS_GROUP;
    HWND h = nullptr;
    HMENU id = reinterpret_cast<HMENU>(static_cast<INT_PTR>(control));
    switch (kind) {
    case EditableCombo:
        h = CreateWindowExW(0, WC_COMBOBOXW, Wide(caption),
                            comboStyle | CBS_DROPDOWN | CBS_AUTOHSCROLL, x, y, width,
                            ComboCreateHeight, parent, id, B.instance, nullptr);
        break;
    case DropDownList:
        h = CreateWindowExW(0, WC_COMBOBOXW, Wide(caption),
                            comboStyle | CBS_DROPDOWNLIST | WS_TABSTOP, x, y, width,
                            ComboCreateHeight, parent, id, B.instance, nullptr);
        break;
    case ToggleButton:
        h = CreateWindowExW(0, WC_BUTTONW, Wide(caption),
                            WS_CHILD | WS_VISIBLE | WS_GROUP | WS_TABSTOP | BS_AUTOCHECKBOX |
                                BS_PUSHLIKE,
                            x, y, width, height, parent, id, B.instance, nullptr);
        break;
    }
    if (!h) {
        return;
    }
    B.handles[control] = h;
    B.kinds[control] = kind;
    B.isControl[control] = true;
    B.tabOrder.push_back(control);
    SetFontOf(h);
    if (kind != ToggleButton) {
        SizeClosedCombo(h, height);
    }
}

void MoveIntoStatusBar(int control, int bar) {
    HWND h = Handle(control);
    HWND statusBar = Handle(bar);
    if (!h || !statusBar) {
        return;
    }
    // SetParent keeps the client coordinates, which now count from the bar.
    SetParent(h, statusBar);
}

void CreatePictureView(int control, int window, int x, int y, int width, int height, int picture) {
    HWND parent = Handle(window);
    if (!parent || control < 0 || control >= MaxObjects || B.handles[control]) {
        return;
    }
    HWND h = CreateWindowExW(0, WC_STATICW, L"", WS_CHILD | WS_VISIBLE | SS_OWNERDRAW, x, y, width,
                             height, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(control)),
                             B.instance, nullptr);
    if (!h) {
        return;
    }
    B.handles[control] = h;
    B.view = h;
    B.viewControl = control;
    ShowPicture(picture);
}

void DestroyWindow(int window) {
    HWND h = Handle(window);
    if (!h) {
        return;
    }
    if (h != B.main) {
        ::DestroyWindow(h);
        B.handles[window] = nullptr;
        B.isControl[window] = false;
        return;
    }
    // The tooltips first, then the window with everything in it.
    if (B.toolTip) {
        ::DestroyWindow(B.toolTip);
    }
    ::DestroyWindow(h);
    if (B.classRegistered) {
        UnregisterClassW(WindowClassName, B.instance);
    }
    Backend rest;
    rest.instance = B.instance;
    rest.comInitialised = B.comInitialised;
    rest.padsRightText = B.padsRightText;
    rest.paintCount = B.paintCount;
    B = rest;
}

// ---- events -----------------------------------------------------------------------

int PollEvent() {
    MSG message;
    int code = 0;
    if (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        code = static_cast<int>(message.message);
        if (B.toolTip && message.message >= WM_MOUSEFIRST && message.message <= WM_MOUSELAST) {
            SendMessageW(B.toolTip, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&message));
        }
        if (!HandleTabKey(message)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
        // Only the main window's close request counts as one.
        if (code == CloseRequest && !B.closeRequested) {
            code = 0;
        }
    }
    if (B.closeRequested) {
        B.closeRequested = false;
        return CloseRequest;
    }
    return code;
}

// ---- controls -----------------------------------------------------------------------

Text ControlText(int control) {
    HWND h = ControlHandle(control);
    if (!h) {
        return Text();
    }
    if (B.kinds[control] == DropDownList) {
        LRESULT index = SendMessageW(h, CB_GETCURSEL, 0, 0);
        return index == CB_ERR ? Text() : ComboItemText(h, static_cast<int>(index));
    }
    return WindowText(h);
}

void SetControlText(int control, const Text& text) {
    HWND h = ControlHandle(control);
    if (!h) {
        return;
    }
    switch (B.kinds[control]) {
    case DropDownList: {
        LRESULT index = SendMessageW(h, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                     reinterpret_cast<LPARAM>(Wide(text)));
        if (index != CB_ERR) {
            SendMessageW(h, CB_SETCURSEL, index, 0);
        }
        break;
    }
    case EditableCombo: {
        SetWindowTextW(h, Wide(text));
        // A text set by the program selects no list item, whatever the
        // combo made of the change.
        COMBOBOXINFO info = {};
        info.cbSize = sizeof(info);
        if (SendMessageW(h, CB_GETCURSEL, 0, 0) != CB_ERR && GetComboBoxInfo(h, &info) &&
            info.hwndList) {
            SendMessageW(info.hwndList, LB_SETCURSEL, static_cast<WPARAM>(-1), 0);
        }
        break;
    }
    case ToggleButton:
        // Called on every pass: only a real change touches the window.
        if (WindowText(h) != text) {
            SetWindowTextW(h, Wide(text));
        }
        break;
    }
}

int ControlState(int control) {
    HWND h = ControlHandle(control);
    if (!h) {
        return 0;
    }
    if (B.kinds[control] == ToggleButton) {
        return SendMessageW(h, BM_GETCHECK, 0, 0) == BST_CHECKED ? 1 : 0;
    }
    return static_cast<int>(SendMessageW(h, CB_GETCURSEL, 0, 0));
}

void SetControlState(int control, int value) {
    if (control >= 0 && control == B.viewControl) {
        ShowPicture(value);
        return;
    }
    HWND h = ControlHandle(control);
    if (!h) {
        return;
    }
    if (B.kinds[control] == ToggleButton) {
        SendMessageW(h, BM_SETCHECK, value ? BST_CHECKED : BST_UNCHECKED, 0);
    } else {
        SendMessageW(h, CB_SETCURSEL, value, 0);
    }
}

void DisableControl(int control, int flag) {
    HWND h = Handle(control);
    // Called on every pass: disabling asks the wineserver for the focus even
    // when nothing changes.
    if (h && (IsWindowEnabled(h) != FALSE) == (flag != 0)) {
        EnableWindow(h, flag ? FALSE : TRUE);
    }
}

void AddItem(int control, const Text& text) {
    HWND h = ControlHandle(control);
    if (h && B.kinds[control] != ToggleButton) {
        SendMessageW(h, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Wide(text)));
    }
}

void SetToolTip(int control, const Text& text) {
    HWND h = Handle(control);
    HWND main = B.main;
    if (!h || !main) {
        return;
    }
    if (!B.toolTip) {
        B.toolTip =
            CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                            WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT, CW_USEDEFAULT,
                            CW_USEDEFAULT, CW_USEDEFAULT, main, nullptr, B.instance, nullptr);
        if (!B.toolTip) {
            return;
        }
    }
    AddTool(main, h, text);
    if (HWND edit = win32::ComboEdit(control)) {
        AddTool(main, edit, text);
    }
}

// ---- status bar ---------------------------------------------------------------------

void StatusText(int field, const Text& text, int flags) {
    HWND bar = B.statusBar;
    if (!bar || field < 0 || field >= MaxFields) {
        return;
    }
    Text shown;
    if (flags & StatusRightAligned) {
        shown = u"\t\t" + text;
        if (B.padsRightText) {
            shown += u"    ";
        }
    } else if (flags & StatusCentred) {
        shown = u"\t" + text;
    } else {
        shown = text;
    }
    WPARAM type = field | ((flags & StatusNoBorder) ? SBT_NOBORDERS : 0);
    SendMessageW(bar, SB_SETTEXTW, type, reinterpret_cast<LPARAM>(Wide(shown)));
}

void StatusProgress(int field, int value, int minimum, int maximum) {
    HWND bar = B.statusBar;
    if (!bar || field < 0 || field >= MaxFields) {
        return;
    }
    HWND& progress = B.progress[field];
    if (!progress) {
        RECT rect = {};
        if (!SendMessageW(bar, SB_GETRECT, field, reinterpret_cast<LPARAM>(&rect))) {
            return;
        }
        progress = CreateWindowExW(0, PROGRESS_CLASSW, nullptr, WS_CHILD | WS_VISIBLE | PBS_SMOOTH,
                                   rect.left, rect.top, rect.right - rect.left,
                                   rect.bottom - rect.top, bar, nullptr, B.instance, nullptr);
        if (!progress) {
            return;
        }
    }
    SendMessageW(progress, PBM_SETRANGE32, minimum, maximum);
    SendMessageW(progress, PBM_SETPOS, value, 0);
}

// ---- pictures ------------------------------------------------------------------------

void ShowPicture(int picture) {
    HWND view = B.view;
    if (!PictureMayBeShown(picture) || !view) {
        return; // never shown while open for drawing
    }
    const Picture* shown = PictureByNumber(picture);
    B.shownPicture = picture;
    RECT rect;
    GetClientRect(view, &rect);
    if (rect.right != shown->width || rect.bottom != shown->height) {
        SetWindowPos(view, nullptr, 0, 0, shown->width, shown->height,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    // Painted here and now: a round through WM_PAINT costs several times
    // the painting itself under Wine.
    if (HDC dc = GetDC(view)) {
        PaintView(dc);
        ReleaseDC(view, dc);
    }
}

// ---- time ------------------------------------------------------------------------------

uint32_t TickCount() {
    return GetTickCount();
}

void Delay(int milliseconds) {
    timeBeginPeriod(1);
    Sleep(milliseconds > 0 ? static_cast<DWORD>(milliseconds) : 0);
    timeEndPeriod(1);
}

// ---- messages --------------------------------------------------------------------------

void ShowMessage(const Text& title, const Text& text) {
    // The box belongs to the program's foreground window. When another
    // program is in front, the box has no owner and keeps the program's
    // windows disabled until it is closed.
    HWND owner = GetForegroundWindow();
    DWORD process = 0;
    if (owner) {
        GetWindowThreadProcessId(owner, &process);
    }
    UINT type = MB_OK;
    if (!owner || process != GetCurrentProcessId()) {
        owner = nullptr;
        type |= MB_TASKMODAL;
    }
    MessageBoxW(owner, Wide(text), Wide(title), type);
}

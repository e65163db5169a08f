// The test probe of the Windows back end: looks at the real windows and
// controls through user32 and acts on them as a user would, inside the
// process that runs the toolkit.
#include "probe.h"
#include "win32_backend.h"

#include <windows.h>

#include <commctrl.h>

namespace {

// Room for any text the probe reads back.
const int TextRoom = 32768;
const int DrainLimit = 100000;

Text FromWide(const wchar_t* text) {
    return Text(reinterpret_cast<const char16_t*>(text));
}

Text WindowText(HWND h) {
    if (!h) {
        return Text();
    }
    int length = GetWindowTextLengthW(h);
    std::vector<wchar_t> buffer(length + 1, 0);
    GetWindowTextW(h, buffer.data(), length + 1);
    return FromWide(buffer.data());
}

bool IsCombo(HWND h) {
    wchar_t name[64] = {};
    GetClassNameW(h, name, 64);
    return lstrcmpiW(name, WC_COMBOBOXW) == 0;
}

// The field's text as the status bar holds it, and its type bits.
Text RawStatusText(int field, int* type) {
    HWND bar = win32::StatusBarHandle();
    *type = 0;
    if (!bar) {
        return Text();
    }
    LRESULT info = SendMessageW(bar, SB_GETTEXTLENGTHW, field, 0);
    *type = HIWORD(info);
    std::vector<wchar_t> buffer(LOWORD(info) + 1, 0);
    SendMessageW(bar, SB_GETTEXTW, field, reinterpret_cast<LPARAM>(buffer.data()));
    return FromWide(buffer.data());
}

size_t LeadingTabs(const Text& text) {
    size_t tabs = 0;
    while (tabs < text.size() && tabs < 2 && text[tabs] == u'\t') {
        tabs++;
    }
    return tabs;
}

} // namespace

// ---- looking -------------------------------------------------------------------

Text ProbeWindowTitle(int window) {
    return WindowText(win32::ObjectHandle(window));
}

void ProbeClientSize(int window, int* width, int* height) {
    RECT rect = {};
    GetClientRect(win32::ObjectHandle(window), &rect);
    *width = rect.right - rect.left;
    *height = rect.bottom - rect.top;
}

bool ProbeWindowResizable(int window) {
    LONG_PTR style = GetWindowLongPtrW(win32::ObjectHandle(window), GWL_STYLE);
    return (style & (WS_THICKFRAME | WS_MAXIMIZEBOX)) != 0;
}

void ProbeControlRect(int control, int* x, int* y, int* width, int* height) {
    *x = *y = *width = *height = 0;
    HWND h = win32::ObjectHandle(control);
    if (!h) {
        return;
    }
    RECT rect = {};
    GetWindowRect(h, &rect);
    MapWindowPoints(HWND_DESKTOP, GetParent(h), reinterpret_cast<POINT*>(&rect), 2);
    *x = rect.left;
    *y = rect.top;
    *width = rect.right - rect.left;
    *height = rect.bottom - rect.top;
}

int ProbeControlParent(int control) {
    HWND parent = GetParent(win32::ObjectHandle(control));
    for (int number = 0; number < 16 && parent; number++) {
        if (parent == win32::ObjectHandle(number)) {
            return number;
        }
    }
    return -1;
}

Text ProbeControlCaption(int control) {
    HWND h = win32::ObjectHandle(control);
    if (h && ProbeControlKind(control) == DropDownList) {
        int index = ProbeSelectedItem(control);
        std::vector<Text> items = ProbeControlItems(control);
        return index >= 0 && index < static_cast<int>(items.size()) ? items[index] : Text();
    }
    return WindowText(h);
}

bool ProbeControlEnabled(int control) {
    HWND h = win32::ObjectHandle(control);
    return h && IsWindowEnabled(h);
}

std::vector<Text> ProbeControlItems(int control) {
    std::vector<Text> items;
    HWND h = win32::ObjectHandle(control);
    if (!h || !IsCombo(h)) {
        return items;
    }
    LRESULT count = SendMessageW(h, CB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; i++) {
        LRESULT length = SendMessageW(h, CB_GETLBTEXTLEN, i, 0);
        std::vector<wchar_t> buffer(length > 0 ? length + 1 : 1, 0);
        SendMessageW(h, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(buffer.data()));
        items.push_back(FromWide(buffer.data()));
    }
    return items;
}

int ProbeSelectedItem(int control) {
    HWND h = win32::ObjectHandle(control);
    if (!h || !IsCombo(h)) {
        return -1;
    }
    LRESULT index = SendMessageW(h, CB_GETCURSEL, 0, 0);
    return index == CB_ERR ? -1 : static_cast<int>(index);
}

Text ProbeToolTip(int control) {
    HWND toolTip = win32::ToolTipHandle();
    HWND h = win32::ObjectHandle(control);
    if (!toolTip || !h) {
        return Text();
    }
    std::vector<wchar_t> buffer(TextRoom, 0);
    TOOLINFOW info = {};
    info.cbSize = sizeof(info);
    info.hwnd = win32::MainHandle();
    info.uId = reinterpret_cast<UINT_PTR>(h);
    info.lpszText = buffer.data();
    SendMessageW(toolTip, TTM_GETTEXTW, TextRoom, reinterpret_cast<LPARAM>(&info));
    return FromWide(buffer.data());
}

ControlKind ProbeControlKind(int control) {
    HWND h = win32::ObjectHandle(control);
    if (h && IsCombo(h)) {
        LONG_PTR style = GetWindowLongPtrW(h, GWL_STYLE);
        return (style & 3) == CBS_DROPDOWNLIST ? DropDownList : EditableCombo;
    }
    return ToggleButton;
}

Text ProbeStatusText(int field) {
    int type = 0;
    Text text = RawStatusText(field, &type);
    size_t tabs = LeadingTabs(text);
    text.erase(0, tabs);
    const Text padding = u"    ";
    if (tabs == 2 && win32::PadsRightAlignedText() && text.size() >= padding.size() &&
        text.compare(text.size() - padding.size(), padding.size(), padding) == 0) {
        text.erase(text.size() - padding.size());
    }
    return text;
}

int ProbeStatusFlags(int field) {
    int type = 0;
    Text text = RawStatusText(field, &type);
    size_t tabs = LeadingTabs(text);
    int flags = tabs == 2 ? StatusRightAligned : tabs == 1 ? StatusCentred : 0;
    if (type & SBT_NOBORDERS) {
        flags |= StatusNoBorder;
    }
    return flags;
}

std::vector<int> ProbeStatusFieldEdges() {
    HWND bar = win32::StatusBarHandle();
    if (!bar) {
        return {};
    }
    int count = static_cast<int>(SendMessageW(bar, SB_GETPARTS, 0, 0));
    std::vector<int> edges(count > 0 ? count : 0);
    if (count > 0) {
        SendMessageW(bar, SB_GETPARTS, count, reinterpret_cast<LPARAM>(edges.data()));
    }
    return edges;
}

void ProbeStatusProgress(int field, int* value, int* minimum, int* maximum) {
    *value = *minimum = *maximum = 0;
    HWND progress = win32::ProgressHandle(field);
    if (!progress) {
        return;
    }
    PBRANGE range = {};
    SendMessageW(progress, PBM_GETRANGE, TRUE, reinterpret_cast<LPARAM>(&range));
    *value = static_cast<int>(SendMessageW(progress, PBM_GETPOS, 0, 0));
    *minimum = range.iLow;
    *maximum = range.iHigh;
}

int ProbeShownPicture() {
    return win32::ShownPicture();
}

void ProbeViewSize(int* width, int* height) {
    RECT rect = {};
    GetClientRect(win32::ViewHandle(), &rect);
    *width = rect.right;
    *height = rect.bottom;
}

int ProbePaintCount() {
    return win32::PaintCount();
}

Colour ProbeViewPixel(int x, int y) {
    HWND view = win32::ViewHandle();
    if (!view) {
        return 0;
    }
    HDC dc = GetDC(view);
    COLORREF colour = GetPixel(dc, x, y);
    ReleaseDC(view, dc);
    return colour == CLR_INVALID ? 0 : static_cast<Colour>(colour);
}

// ---- doing, as the user would ---------------------------------------------------

void ProbeClick(int control) {
    HWND h = win32::ObjectHandle(control);
    if (h && IsWindowEnabled(h)) {
        // A mouse press and release on the button.
        SendMessageW(h, BM_CLICK, 0, 0);
    }
}

void ProbePickItem(int control, int index) {
    HWND h = win32::ObjectHandle(control);
    if (h && IsWindowEnabled(h) && IsCombo(h)) {
        SendMessageW(h, CB_SETCURSEL, index, 0);
        HWND parent = GetParent(h);
        WPARAM command = MAKEWPARAM(GetDlgCtrlID(h), CBN_SELCHANGE);
        SendMessageW(parent, WM_COMMAND, command, reinterpret_cast<LPARAM>(h));
    }
}

void ProbeTypeText(int control, const Text& text) {
    HWND edit = win32::ComboEdit(control);
    HWND h = win32::ObjectHandle(control);
    if (edit && IsWindowEnabled(h)) {
        // The edit field takes the text and tells its combo, which lets go
        // of any list selection, as after typing.
        SendMessageW(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
    }
}

void ProbeRequestClose(int window) {
    PostMessageW(win32::ObjectHandle(window), WM_SYSCOMMAND, SC_CLOSE, 0);
}

int ProbeTab(bool shift) {
    HWND target = GetFocus();
    if (!target) {
        target = win32::MainHandle();
    }
    BYTE keys[256] = {};
    GetKeyboardState(keys);
    BYTE saved = keys[VK_SHIFT];
    keys[VK_SHIFT] = shift ? 0x80 : 0;
    SetKeyboardState(keys);
    PostMessageW(target, WM_KEYDOWN, VK_TAB, 0x000F0001);
    ProbeDrainEvents();
    PostMessageW(GetFocus() ? GetFocus() : target, WM_KEYUP, VK_TAB, 0xC00F0001);
    ProbeDrainEvents();
    GetKeyboardState(keys);
    keys[VK_SHIFT] = saved;
    SetKeyboardState(keys);
    return win32::ControlNumberOf(GetFocus());
}

void ProbeFocus(int control) {
    HWND h = win32::ObjectHandle(control);
    if (h && IsWindowEnabled(h)) {
        SetFocus(h);
    }
}

std::vector<int> ProbeDrainEvents() {
    std::vector<int> codes;
    for (int guard = 0; guard < DrainLimit; guard++) {
        int code = PollEvent();
        if (code == 0) {
            break;
        }
        codes.push_back(code);
    }
    return codes;
}

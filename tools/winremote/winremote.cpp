// winremote: looks at and drives the Kurvomat window from another process.
// A Windows console program, run under Wine by the end-to-end tests:
//
//   wine winremote.exe [--title TITLE] [--wait SECONDS] COMMAND [ARGUMENTS]
//
// It finds the program's main window by its title (default
// "Kurvomat - 1.0.0.1"; message boxes with the same title are passed over),
// waiting up to --wait seconds (default 10) for it to appear, and prints
// key=value lines. Texts are printed as UTF-8 with \\, \n, \r and \t escaped;
// text arguments take the same escapes and \uXXXX.
//
// Commands:
//   window          hwnd, pid, title, class, outer x/y/width/height (screen),
//                   client_x/client_y (screen position of the client area),
//                   client_width/client_height, style (hex) with caption,
//                   sysmenu, minimizebox, maximizebox, thickframe, visible,
//                   enabled, minimized, maximized, foreground, class_style
//                   (of the window class, hex), screen_width, screen_height
//   control N       the child window with identifier N (controls 5 to 12, the
//                   status bar 1): found, id, class, kind (editable, dropdown,
//                   toggle, static, statusbar, other), text (WM_GETTEXT),
//                   enabled, visible, style, x/y/width/height relative to its
//                   parent, screen_x/screen_y (its top-left corner on the
//                   screen), parent (window, statusbar or other), parent_id,
//                   focus; buttons: checked; combos: count, item.K for every
//                   item, selected (-1 for none), dropped_height (the height
//                   Windows reports for the dropped list; Wine counts the
//                   list alone), edit_text (editable combos)
//   tooltip N       text of the tooltip of control N, edit_text (the tooltip
//                   of an editable combo's edit field), shown (1 while the
//                   tooltip window is visible) and shown_text (what it shows)
//   status          parts, edge.K (SB_GETPARTS), for every part text.K (the
//                   text as the program gave it: without the alignment tabs
//                   and without the four blanks the toolkit puts after a
//                   right-aligned text while visual styles are active),
//                   raw.K (as the bar holds it), align.K (left, centre,
//                   right), noborder.K; height of the bar;
//                   progress (field of the progress bar, -1 if none),
//                   progress_pos, progress_min, progress_max, progress_x,
//                   progress_y, progress_width, progress_height
//   click N         presses button N (BM_CLICK)
//   select N K      selects item K of combo N (CB_SETCURSEL)
//   settext N TEXT  sets the text of control N (WM_SETTEXT)
//   close           asks the window to close (WM_CLOSE)
//   messagebox      the open message box of the program: found, hwnd, title,
//                   text, owner (hwnd or 0), owner_is_main, main_enabled;
//                   waits up to --wait seconds for one
//   closebox        presses OK in that message box
//   waitclosed      waits up to --wait seconds until the window is gone
//
// Exit codes: 0 done, 1 window, control or box not found (or time-out),
// 2 wrong usage.
#include <windows.h>

#include <commctrl.h>

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

namespace {

std::wstring title = L"Kurvomat - 1.0.0.1";
double waitSeconds = 10.0;
const UINT SendTimeout = 5000;

// ---- output -------------------------------------------------------------------

std::string Utf8(const std::wstring& text) {
    if (text.empty()) {
        return std::string();
    }
    int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr,
                                   0, nullptr, nullptr);
    std::string out(size, '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), &out[0], size,
                        nullptr, nullptr);
    return out;
}

std::wstring Escaped(const std::wstring& text) {
    std::wstring out;
    for (wchar_t c : text) {
        switch (c) {
        case L'\\':
            out += L"\\\\";
            break;
        case L'\n':
            out += L"\\n";
            break;
        case L'\r':
            out += L"\\r";
            break;
        case L'\t':
            out += L"\\t";
            break;
        default:
            out += c;
        }
    }
    return out;
}

void Print(const std::string& key, const std::wstring& value) {
    std::string line = key + "=" + Utf8(Escaped(value)) + "\n";
    fwrite(line.data(), 1, line.size(), stdout);
}

void Print(const std::string& key, long long value) {
    printf("%s=%lld\n", key.c_str(), value);
}

void PrintHex(const std::string& key, unsigned long long value) {
    printf("%s=0x%llx\n", key.c_str(), value);
}

// The escapes of the output, and \uXXXX, turned back into characters.
std::wstring Unescaped(const std::wstring& text) {
    std::wstring out;
    for (size_t i = 0; i < text.size(); i++) {
        if (text[i] != L'\\' || i + 1 >= text.size()) {
            out += text[i];
            continue;
        }
        wchar_t next = text[++i];
        if (next == L'n') {
            out += L'\n';
        } else if (next == L'r') {
            out += L'\r';
        } else if (next == L't') {
            out += L'\t';
        } else if (next == L'u' && i + 4 < text.size()) {
            out += static_cast<wchar_t>(wcstoul(text.substr(i + 1, 4).c_str(), nullptr, 16));
            i += 4;
        } else {
            out += next;
        }
    }
    return out;
}

// ---- finding ------------------------------------------------------------------

std::wstring ClassOf(HWND h) {
    wchar_t name[256] = {};
    GetClassNameW(h, name, 256);
    return name;
}

std::wstring TextOf(HWND h) {
    DWORD_PTR length = 0;
    if (!SendMessageTimeoutW(h, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, SendTimeout, &length)) {
        return std::wstring();
    }
    std::vector<wchar_t> buffer(length + 2, 0);
    DWORD_PTR got = 0;
    SendMessageTimeoutW(h, WM_GETTEXT, buffer.size(), reinterpret_cast<LPARAM>(buffer.data()),
                        SMTO_ABORTIFHUNG, SendTimeout, &got);
    return buffer.data();
}

LRESULT Send(HWND h, UINT message, WPARAM wParam, LPARAM lParam) {
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutW(h, message, wParam, lParam, SMTO_ABORTIFHUNG, SendTimeout, &result)) {
        return -1;
    }
    return static_cast<LRESULT>(result);
}

bool IsDialog(HWND h) {
    return ClassOf(h) == L"#32770";
}

struct Search {
    HWND found = nullptr;
};

BOOL CALLBACK FindMain(HWND h, LPARAM data) {
    auto* search = reinterpret_cast<Search*>(data);
    if (!IsDialog(h)) {
        wchar_t text[512] = {};
        GetWindowTextW(h, text, 512);
        if (title == text) {
            search->found = h;
            return FALSE;
        }
    }
    return TRUE;
}

HWND FindMainWindow() {
    Search search;
    EnumWindows(FindMain, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// Polls a finder until it finds or the wait is over.
template <typename Finder> HWND WaitFor(Finder find) {
    DWORD start = GetTickCount();
    for (;;) {
        HWND h = find();
        if (h || GetTickCount() - start >= static_cast<DWORD>(waitSeconds * 1000)) {
            return h;
        }
        Sleep(50);
    }
}

struct ChildSearch {
    int id = 0;
    HWND found = nullptr;
};

BOOL CALLBACK FindChild(HWND h, LPARAM data) {
    auto* search = reinterpret_cast<ChildSearch*>(data);
    if (GetDlgCtrlID(h) == search->id) {
        search->found = h;
        return FALSE;
    }
    return TRUE;
}

// The child with that identifier, at any depth; the controls sit in the
// status bar. A combo's own children (identifier 1001) never match 1 to 12.
HWND FindControl(HWND main, int id) {
    ChildSearch search;
    search.id = id;
    EnumChildWindows(main, FindChild, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

struct ProgramSearch {
    DWORD pid = 0;
    std::function<bool(HWND)> matches;
    HWND found = nullptr;
};

BOOL CALLBACK FindInProgram(HWND h, LPARAM data) {
    auto* search = reinterpret_cast<ProgramSearch*>(data);
    DWORD pid = 0;
    GetWindowThreadProcessId(h, &pid);
    if (pid == search->pid && search->matches(h)) {
        search->found = h;
        return FALSE;
    }
    return TRUE;
}

// A top-level window of the program that owns the main window.
HWND FindWindowOfProgram(HWND main, std::function<bool(HWND)> matches) {
    ProgramSearch search;
    GetWindowThreadProcessId(main, &search.pid);
    search.matches = std::move(matches);
    EnumWindows(FindInProgram, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND FindStatusBar(HWND main) {
    return FindWindowExW(main, nullptr, STATUSCLASSNAMEW, nullptr);
}

// ---- memory in the program's process, for messages Windows does not carry
// across processes --------------------------------------------------------------

class Remote {
  public:
    Remote(HWND h, size_t size) : size_(size) {
        DWORD pid = 0;
        GetWindowThreadProcessId(h, &pid);
        process_ =
            OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid);
        if (process_) {
            address_ =
                VirtualAllocEx(process_, nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
        }
    }
    ~Remote() {
        if (address_) {
            VirtualFreeEx(process_, address_, 0, MEM_RELEASE);
        }
        if (process_) {
            CloseHandle(process_);
        }
    }
    Remote(const Remote&) = delete;
    Remote& operator=(const Remote&) = delete;
    bool Ok() const { return address_ != nullptr; }
    char* Address(size_t offset = 0) const { return static_cast<char*>(address_) + offset; }
    LPARAM Param(size_t offset = 0) const { return reinterpret_cast<LPARAM>(Address(offset)); }
    bool Write(const void* data, size_t size, size_t offset = 0) {
        return size + offset <= size_ &&
               WriteProcessMemory(process_, Address(offset), data, size, nullptr);
    }
    bool Read(void* data, size_t size, size_t offset = 0) const {
        return size + offset <= size_ &&
               ReadProcessMemory(process_, Address(offset), data, size, nullptr);
    }

  private:
    HANDLE process_ = nullptr;
    void* address_ = nullptr;
    size_t size_;
};

// ---- commands -------------------------------------------------------------------

int CommandWindow(HWND main) {
    DWORD pid = 0;
    GetWindowThreadProcessId(main, &pid);
    RECT outer = {}, client = {};
    GetWindowRect(main, &outer);
    GetClientRect(main, &client);
    POINT origin = {0, 0};
    ClientToScreen(main, &origin);
    LONG_PTR style = GetWindowLongPtrW(main, GWL_STYLE);
    PrintHex("hwnd", reinterpret_cast<UINT_PTR>(main));
    Print("pid", pid);
    Print("title", TextOf(main));
    Print("class", ClassOf(main));
    Print("x", outer.left);
    Print("y", outer.top);
    Print("width", outer.right - outer.left);
    Print("height", outer.bottom - outer.top);
    Print("client_x", origin.x);
    Print("client_y", origin.y);
    Print("client_width", client.right - client.left);
    Print("client_height", client.bottom - client.top);
    PrintHex("style", static_cast<unsigned long long>(style) & 0xFFFFFFFFull);
    Print("caption", (style & WS_CAPTION) == WS_CAPTION);
    Print("sysmenu", (style & WS_SYSMENU) != 0);
    Print("minimizebox", (style & WS_MINIMIZEBOX) != 0);
    Print("maximizebox", (style & WS_MAXIMIZEBOX) != 0);
    Print("thickframe", (style & WS_THICKFRAME) != 0);
    Print("visible", IsWindowVisible(main) != 0);
    Print("enabled", IsWindowEnabled(main) != 0);
    Print("minimized", IsIconic(main) != 0);
    Print("maximized", IsZoomed(main) != 0);
    Print("foreground", GetForegroundWindow() == main);
    PrintHex("class_style", GetClassLongPtrW(main, GCL_STYLE));
    Print("screen_width", GetSystemMetrics(SM_CXSCREEN));
    Print("screen_height", GetSystemMetrics(SM_CYSCREEN));
    return 0;
}

std::string KindOf(HWND h) {
    std::wstring name = ClassOf(h);
    LONG_PTR style = GetWindowLongPtrW(h, GWL_STYLE);
    if (lstrcmpiW(name.c_str(), WC_COMBOBOXW) == 0) {
        return (style & 3) == CBS_DROPDOWNLIST ? "dropdown" : "editable";
    }
    if (lstrcmpiW(name.c_str(), WC_BUTTONW) == 0) {
        return (style & BS_PUSHLIKE) && (style & 0xF) == BS_AUTOCHECKBOX ? "toggle" : "other";
    }
    if (lstrcmpiW(name.c_str(), WC_STATICW) == 0) {
        return "static";
    }
    if (lstrcmpiW(name.c_str(), STATUSCLASSNAMEW) == 0) {
        return "statusbar";
    }
    return "other";
}

int CommandControl(HWND main, int id) {
    HWND h = FindControl(main, id);
    if (!h) {
        Print("found", 0);
        return 1;
    }
    HWND parent = GetParent(h);
    RECT rect = {};
    GetWindowRect(h, &rect);
    POINT screen = {rect.left, rect.top};
    MapWindowPoints(HWND_DESKTOP, parent, reinterpret_cast<POINT*>(&rect), 2);
    std::string kind = KindOf(h);
    Print("found", 1);
    Print("id", id);
    Print("class", ClassOf(h));
    Print("kind", std::wstring(kind.begin(), kind.end()));
    Print("text", TextOf(h));
    Print("enabled", IsWindowEnabled(h) != 0);
    Print("visible", IsWindowVisible(h) != 0);
    PrintHex("style",
             static_cast<unsigned long long>(GetWindowLongPtrW(h, GWL_STYLE)) & 0xFFFFFFFFull);
    Print("x", rect.left);
    Print("y", rect.top);
    Print("width", rect.right - rect.left);
    Print("height", rect.bottom - rect.top);
    Print("screen_x", screen.x);
    Print("screen_y", screen.y);
    Print("parent", parent == main                  ? L"window"
                    : parent == FindStatusBar(main) ? L"statusbar"
                                                    : L"other");
    Print("parent_id", parent == main ? 0 : GetDlgCtrlID(parent));
    if (kind == "toggle" || kind == "other") {
        Print("checked", Send(h, BM_GETCHECK, 0, 0) == BST_CHECKED);
    }
    if (kind == "editable" || kind == "dropdown") {
        LRESULT count = Send(h, CB_GETCOUNT, 0, 0);
        Print("count", count);
        for (LRESULT i = 0; i < count; i++) {
            LRESULT length = Send(h, CB_GETLBTEXTLEN, i, 0);
            std::vector<wchar_t> buffer(length > 0 ? length + 1 : 1, 0);
            // Windows carries CB_GETLBTEXT across processes itself.
            Send(h, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(buffer.data()));
            Print("item." + std::to_string(i), buffer.data());
        }
        Print("selected", Send(h, CB_GETCURSEL, 0, 0));
        // Carried across processes by Windows itself, as CB_GETLBTEXT.
        RECT dropped = {};
        if (Send(h, CB_GETDROPPEDCONTROLRECT, 0, reinterpret_cast<LPARAM>(&dropped)) != -1 &&
            dropped.bottom > dropped.top) {
            Print("dropped_height", dropped.bottom - dropped.top);
        }
        if (HWND edit = FindWindowExW(h, nullptr, WC_EDITW, nullptr)) {
            Print("edit_text", TextOf(edit));
        }
    }
    HWND focus = nullptr;
    GUITHREADINFO thread = {};
    thread.cbSize = sizeof(thread);
    if (GetGUIThreadInfo(GetWindowThreadProcessId(main, nullptr), &thread)) {
        focus = thread.hwndFocus;
    }
    Print("focus", focus && (focus == h || IsChild(h, focus)));
    return 0;
}

std::wstring ToolText(HWND toolTip, HWND owner, HWND tool) {
    const size_t room = 4096;
    Remote remote(toolTip, sizeof(TOOLINFOW) + room * sizeof(wchar_t));
    if (!remote.Ok()) {
        return std::wstring();
    }
    TOOLINFOW info = {};
    info.cbSize = sizeof(info);
    info.hwnd = owner;
    info.uId = reinterpret_cast<UINT_PTR>(tool);
    info.lpszText = reinterpret_cast<wchar_t*>(remote.Address(sizeof(info)));
    std::vector<wchar_t> text(room, 0);
    remote.Write(&info, sizeof(info));
    remote.Write(text.data(), room * sizeof(wchar_t), sizeof(info));
    Send(toolTip, TTM_GETTEXTW, room, remote.Param());
    remote.Read(text.data(), room * sizeof(wchar_t), sizeof(info));
    text[room - 1] = 0;
    return text.data();
}

int CommandToolTip(HWND main, int id) {
    HWND h = FindControl(main, id);
    HWND toolTip = FindWindowOfProgram(
        main, [](HWND w) { return lstrcmpiW(ClassOf(w).c_str(), TOOLTIPS_CLASSW) == 0; });
    if (!h || !toolTip) {
        Print("found", 0);
        return 1;
    }
    Print("found", 1);
    Print("text", ToolText(toolTip, main, h));
    Print("shown", IsWindowVisible(toolTip) != 0);
    Print("shown_text", TextOf(toolTip));
    HWND edit = FindWindowExW(h, nullptr, WC_EDITW, nullptr);
    if (KindOf(h) == "editable" && edit) {
        Print("edit_text", ToolText(toolTip, main, edit));
    }
    return 0;
}

int CommandStatus(HWND main) {
    HWND bar = FindStatusBar(main);
    if (!bar) {
        Print("found", 0);
        return 1;
    }
    const size_t room = 4096;
    Remote remote(bar, 256 * sizeof(int) + room * sizeof(wchar_t));
    if (!remote.Ok()) {
        Print("found", 0);
        return 1;
    }
    Print("found", 1);
    RECT barRect = {};
    GetClientRect(bar, &barRect);
    Print("height", barRect.bottom);
    int parts = static_cast<int>(Send(bar, SB_GETPARTS, 256, remote.Param()));
    std::vector<int> edges(parts > 0 ? parts : 0);
    if (parts > 0) {
        remote.Read(edges.data(), parts * sizeof(int));
    }
    Print("parts", parts);
    std::vector<RECT> rects;
    for (int part = 0; part < parts; part++) {
        Print("edge." + std::to_string(part), edges[part]);
        LRESULT info = Send(bar, SB_GETTEXTLENGTHW, part, 0);
        std::vector<wchar_t> text(room, 0);
        remote.Write(text.data(), room * sizeof(wchar_t));
        Send(bar, SB_GETTEXTW, part, remote.Param());
        remote.Read(text.data(), room * sizeof(wchar_t));
        text[room - 1] = 0;
        std::wstring raw = text.data();
        size_t tabs = 0;
        while (tabs < raw.size() && tabs < 2 && raw[tabs] == L'\t') {
            tabs++;
        }
        std::string key = "." + std::to_string(part);
        // The text as the program gave it: the toolkit puts four blanks
        // after a right-aligned text while visual styles are active.
        std::wstring given = raw.substr(tabs);
        const std::wstring padding = L"    ";
        if (tabs == 2 && given.size() >= padding.size() &&
            given.compare(given.size() - padding.size(), padding.size(), padding) == 0) {
            given.erase(given.size() - padding.size());
        }
        Print("text" + key, given);
        Print("raw" + key, raw);
        Print("align" + key, tabs == 2 ? L"right" : tabs == 1 ? L"centre" : L"left");
        Print("noborder" + key, (HIWORD(info) & SBT_NOBORDERS) != 0);
        RECT rect = {};
        remote.Write(&rect, sizeof(rect));
        Send(bar, SB_GETRECT, part, remote.Param());
        remote.Read(&rect, sizeof(rect));
        rects.push_back(rect);
    }
    HWND progress = FindWindowExW(bar, nullptr, PROGRESS_CLASSW, nullptr);
    int field = -1;
    RECT where = {};
    if (progress) {
        GetWindowRect(progress, &where);
        MapWindowPoints(HWND_DESKTOP, bar, reinterpret_cast<POINT*>(&where), 2);
        POINT middle = {(where.left + where.right) / 2, (where.top + where.bottom) / 2};
        for (int part = 0; part < static_cast<int>(rects.size()); part++) {
            if (PtInRect(&rects[part], middle)) {
                field = part;
            }
        }
    }
    Print("progress", field);
    if (progress) {
        Print("progress_pos", Send(progress, PBM_GETPOS, 0, 0));
        Print("progress_min", Send(progress, PBM_GETRANGE, TRUE, 0));
        Print("progress_max", Send(progress, PBM_GETRANGE, FALSE, 0));
        Print("progress_x", where.left);
        Print("progress_y", where.top);
        Print("progress_width", where.right - where.left);
        Print("progress_height", where.bottom - where.top);
        PrintHex("progress_style",
                 static_cast<unsigned long long>(GetWindowLongPtrW(progress, GWL_STYLE)) &
                     0xFFFFFFFFull);
    }
    return 0;
}

HWND FindMessageBox(HWND main) {
    return FindWindowOfProgram(main, [](HWND h) { return IsDialog(h) && IsWindowVisible(h); });
}

struct TextSearch {
    std::wstring longest;
};

BOOL CALLBACK FindLongestStatic(HWND h, LPARAM data) {
    auto* search = reinterpret_cast<TextSearch*>(data);
    if (lstrcmpiW(ClassOf(h).c_str(), WC_STATICW) == 0) {
        std::wstring text = TextOf(h);
        if (text.size() > search->longest.size()) {
            search->longest = text;
        }
    }
    return TRUE;
}

int CommandMessageBox(HWND main) {
    HWND box = WaitFor([main] { return FindMessageBox(main); });
    if (!box) {
        Print("found", 0);
        return 1;
    }
    TextSearch search;
    EnumChildWindows(box, FindLongestStatic, reinterpret_cast<LPARAM>(&search));
    HWND owner = GetWindow(box, GW_OWNER);
    Print("found", 1);
    PrintHex("hwnd", reinterpret_cast<UINT_PTR>(box));
    Print("title", TextOf(box));
    Print("text", search.longest);
    PrintHex("owner", reinterpret_cast<UINT_PTR>(owner));
    Print("owner_is_main", owner == main);
    Print("main_enabled", IsWindowEnabled(main) != 0);
    return 0;
}

int CommandCloseBox(HWND main) {
    HWND box = WaitFor([main] { return FindMessageBox(main); });
    if (!box) {
        Print("found", 0);
        return 1;
    }
    HWND ok = GetDlgItem(box, IDOK);
    PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(ok));
    Print("found", 1);
    return 0;
}

int Usage() {
    fprintf(stderr, "usage: winremote [--title TITLE] [--wait SECONDS] "
                    "window|control N|tooltip N|status|click N|select N K|settext N TEXT|"
                    "close|messagebox|closebox|waitclosed\n");
    return 2;
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    int at = 1;
    while (at + 1 < argc && argv[at][0] == L'-' && argv[at][1] == L'-') {
        std::wstring option = argv[at];
        if (option == L"--title") {
            title = Unescaped(argv[at + 1]);
        } else if (option == L"--wait") {
            waitSeconds = _wtof(argv[at + 1]);
        } else {
            return Usage();
        }
        at += 2;
    }
    if (at >= argc) {
        return Usage();
    }
    std::wstring command = argv[at];
    std::vector<std::wstring> args(argv + at + 1, argv + argc);
    auto number = [&args](size_t i) { return i < args.size() ? _wtoi(args[i].c_str()) : -1; };

    if (command == L"waitclosed") {
        DWORD start = GetTickCount();
        while (FindMainWindow()) {
            if (GetTickCount() - start >= static_cast<DWORD>(waitSeconds * 1000)) {
                Print("closed", 0);
                return 1;
            }
            Sleep(50);
        }
        Print("closed", 1);
        return 0;
    }
    HWND main = WaitFor(FindMainWindow);
    if (!main) {
        Print("found", 0);
        fprintf(stderr, "winremote: no window titled \"%s\"\n", Utf8(title).c_str());
        return 1;
    }
    if (command == L"window") {
        return CommandWindow(main);
    }
    if (command == L"control" && args.size() == 1) {
        return CommandControl(main, number(0));
    }
    if (command == L"tooltip" && args.size() == 1) {
        return CommandToolTip(main, number(0));
    }
    if (command == L"status") {
        return CommandStatus(main);
    }
    if (command == L"messagebox") {
        return CommandMessageBox(main);
    }
    if (command == L"closebox") {
        return CommandCloseBox(main);
    }
    if (command == L"close") {
        PostMessageW(main, WM_CLOSE, 0, 0);
        return 0;
    }
    if ((command == L"click" && args.size() == 1) || (command == L"select" && args.size() == 2) ||
        (command == L"settext" && args.size() == 2)) {
        HWND h = FindControl(main, number(0));
        if (!h) {
            Print("found", 0);
            return 1;
        }
        if (command == L"click") {
            Send(h, BM_CLICK, 0, 0);
        } else if (command == L"select") {
            Send(h, CB_SETCURSEL, number(1), 0);
        } else {
            std::wstring text = Unescaped(args[1]);
            Send(h, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
        }
        Print("found", 1);
        return 0;
    }
    return Usage();
}

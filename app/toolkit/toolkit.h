// The toolkit operations: every window, control, picture, text and timing call
// of the program goes through this header. Objects are addressed by small fixed
// numbers chosen by the program (window 0, status bar 1, pictures 3 and 4,
// controls 5 to 12). Texts are UTF-16; a back end converts at its own edge.
//
// Back ends, one of which is linked into each program:
//   win32.cpp     Windows (user32, comctl32, gdi32, kernel32, winmm)
//   fltk.cpp      Linux (FLTK 1.3)
//   headless.cpp  in memory, with a settable clock, for tests
// picture.cpp and text.cpp are shared by all of them.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

using Text = std::u16string;

// 24-bit colour packed as red + green * 256 + blue * 65536.
using Colour = uint32_t;

// PollEvent's code for "the user asked to close the main window".
const int CloseRequest = 16;

// Status text flags.
const int StatusCentred = 4;
const int StatusRightAligned = 8;
const int StatusNoBorder = 2;

// The three kinds of control the window uses.
enum ControlKind {
    EditableCombo = 0, // edit field plus drop-down list; any text may be typed
    DropDownList = 1,  // only one of the items can be chosen
    ToggleButton = 2,  // push-like button that stays down until clicked again
};

// ---- set-up and release -------------------------------------------------

// Initialises the toolkit (common controls, COM, timer resolution, ...).
void InitToolkit();
// Releases the toolkit's drawing resources and text storage; last call.
void ReleaseToolkit();

// Opens the main window with the title and client size, not resizable,
// centred on the screen and shown at once. Returns non-zero on success.
int OpenWindow(int window, const Text& title, int clientWidth, int clientHeight);
// Creates the status bar along the bottom edge of the window (minimum height
// 18). Returns non-zero on success.
int CreateStatusBar(int bar, int window);
// Gives the status bar its fields; rightEdges are the running sums of widths.
void SetStatusFields(int bar, const std::vector<int>& rightEdges);
// Creates a control as a child of the window. A combo is created with the
// given closed height; its drop-down list gets room of its own.
void CreateControl(int control, int window, ControlKind kind, int x, int y, int width, int height,
                   const Text& caption);
// Moves a control into the status bar, keeping its coordinates, which from
// then on count from the status bar's top-left corner.
void MoveIntoStatusBar(int control, int bar);
// Creates the picture view at (x, y) of the window's client area, showing
// the picture; it takes the picture's size at once.
void CreatePictureView(int control, int window, int x, int y, int width, int height, int picture);
// Destroys the tooltips, then the window with its status bar and controls.
void DestroyWindow(int window);

// ---- the operations the program's steps use ----------------------------

// Never waits; takes at most one pending event and returns its code, 0 if
// none. Returns CloseRequest after the user asked to close the window, which
// stays open.
int PollEvent();

// Editable combo: the edit text. Drop-down list: the selected item's text.
// Button: its caption.
Text ControlText(int control);
// Editable combo: replaces the edit text. Drop-down list: selects the item
// with that text (case ignored), else no change. Button: sets the caption.
void SetControlText(int control, const Text& text);
// Toggle button: 1 down, 0 up.
int ControlState(int control);
// Toggle button: 0 brings it up, 1 pushes it down. Combo: selects item value.
void SetControlState(int control, int value);
// 1 disables, 0 enables.
void DisableControl(int control, int flag);
// Appends an item to a combo box.
void AddItem(int control, const Text& text);
// Hover text of a control (of an editable combo's edit field too).
void SetToolTip(int control, const Text& text);

// Text of a status-bar field; flags StatusCentred, StatusRightAligned,
// StatusNoBorder.
void StatusText(int field, const Text& text, int flags);
// Smooth progress bar in a status-bar field.
void StatusProgress(int field, int value, int minimum, int maximum);

// ---- pictures (picture.cpp, shared) ------------------------------------

// A 24-bit picture, all black. Pixels are stored top row first, three bytes
// a pixel in the order blue, green, red.
void CreatePicture(int picture, int width, int height);
// Drawing goes to that picture until EndDrawing.
void BeginDrawing(int picture);
void EndDrawing();
// Filled box, clipped to the picture open for drawing.
void FillBox(int x, int y, int width, int height, Colour colour);
// One-pixel line, both end points included, clipped to the picture before
// drawing.
void DrawLine(int x1, int y1, int x2, int y2, Colour colour);
// Target replaced by an independent copy of the source.
void CopyPicture(int source, int target);
// The picture view keeps a reference to the picture, takes its size and
// repaints at once (back end).
void ShowPicture(int picture);

struct Picture {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> pixels; // width * height * 3, blue-green-red
};
// The picture with that number, or nullptr.
const Picture* PictureByNumber(int picture);
// The number of the picture open for drawing, or -1.
int PictureOpenForDrawing();
// Colour of one pixel (tests and back ends); 0 outside the picture.
Colour PixelAt(int picture, int x, int y);
// How often a picture was shown or copied while open for drawing. Such a
// call is refused; a correct program never makes one.
int PictureRuleBreaks();
void ClearPictureRuleBreaks();
// For a back end's ShowPicture: false (and counted as a rule break) when the
// picture is open for drawing; false when it does not exist.
bool PictureMayBeShown(int picture);
// Frees every picture (shutdown).
void FreePictures();
// When set, told of every CreatePicture ("create", number), BeginDrawing
// ("begin", number), EndDrawing ("end", -1) and CopyPicture ("copy", source,
// target). Tests use it to check the order of the canvas sequences.
extern void (*PictureCallObserver)(const char* call, int first, int second);

// ---- time ----------------------------------------------------------------

// Milliseconds, 32 bits, wrapping.
uint32_t TickCount();
// Sleeps the given milliseconds at 1 ms timer resolution.
void Delay(int milliseconds);

// ---- texts (text.cpp, shared) ------------------------------------------

// Decimal text, "-" if negative.
Text IntText(int64_t value);
// Fixed-point text with the given decimals, rounded half to even on the
// exact binary value, as C's printing of a float does.
Text FloatText(float value, int decimals);
// Skips leading blanks and tabs, an optional "+" or "-", then "$" hex, "%"
// binary or decimal digits up to the first other character; none gives 0.
// Wraps modulo 2^64 on overflow.
int64_t TextValue(const Text& text);
// Helpers for literals and back ends.
// Equal but for the case of letters (Latin, Latin-1 included), as a list box
// finds its items.
bool SameTextIgnoringCase(const Text& a, const Text& b);
Text TextFromUtf8(const std::string& utf8);
std::string Utf8FromText(const Text& text);

// ---- messages ------------------------------------------------------------

// Modal box with an OK button, owned by the program's foreground window;
// returns when closed.
void ShowMessage(const Text& title, const Text& text);

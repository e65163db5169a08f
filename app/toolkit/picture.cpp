// The program's own pictures: 24-bit pixel buffers with fill, line and copy,
// shared by every back end. A back end only paints them.
#include "toolkit.h"

#include <algorithm>
#include <cstddef>
#include <cstring>

namespace {

const int PictureSlots = 16;
Picture pictures[PictureSlots];
bool exists[PictureSlots];
int drawingOn = -1;
int ruleBreaks = 0;

// A copy that has been asked for but not yet made: the target's pixels stand
// for the source's as they were then. The copy is made as soon as either
// picture is about to change or the target is looked at; when the source is
// about to be filled whole, the two buffers are exchanged instead, which
// costs nothing. A sweep of the oscilloscope copies WorkCanvas into LastFrame
// and then blanks WorkCanvas, so the exchange saves a copy of every sweep.
int pendingSource = -1;
int pendingTarget = -1;

void FinishPendingCopy() {
    if (pendingSource < 0)
        return;
    Picture& target = pictures[pendingTarget];
    const Picture& source = pictures[pendingSource];
    target.width = source.width;
    target.height = source.height;
    target.pixels = source.pixels;
    pendingSource = pendingTarget = -1;
}

// Before number's pixels change.
void Settle(int number) {
    if (number == pendingSource || number == pendingTarget)
        FinishPendingCopy();
}

// Before number's pixels are looked at: only the target is not yet there.
void SettleRead(int number) {
    if (number == pendingTarget)
        FinishPendingCopy();
}

Picture* Slot(int number) {
    if (number < 0 || number >= PictureSlots || !exists[number])
        return nullptr;
    return &pictures[number];
}

// Region code of a point against the rectangle 0..maxX, 0..maxY.
int Outcode(int64_t x, int64_t y, int64_t maxX, int64_t maxY) {
    int code = 0;
    if (x < 0)
        code |= 1;
    else if (x > maxX)
        code |= 2;
    if (y < 0)
        code |= 4;
    else if (y > maxY)
        code |= 8;
    return code;
}

// a + (b - a) * num / den, rounded to nearest; |num| <= |den|.
int64_t Interpolate(int64_t a, int64_t b, int64_t num, int64_t den) {
    if (den == 0)
        return a;
    int64_t span = b - a; // fits: coordinates are 32-bit
    // span * num can reach 2^33 * 2^33: use 128-bit arithmetic.
    __int128 product = static_cast<__int128>(span) * num;
    __int128 half = den / 2;
    __int128 q = product >= 0 ? (product + half) / den : (product - half) / den;
    return a + static_cast<int64_t>(q);
}

// Moves the end points of a segment along it onto the rectangle; false when
// no part of the segment lies inside.
bool ClipSegment(int64_t& x1, int64_t& y1, int64_t& x2, int64_t& y2, int64_t maxX, int64_t maxY) {
    const int64_t ox1 = x1, oy1 = y1, ox2 = x2, oy2 = y2;
    int code1 = Outcode(x1, y1, maxX, maxY);
    int code2 = Outcode(x2, y2, maxX, maxY);
    for (int round = 0; round < 8; ++round) {
        if ((code1 | code2) == 0)
            return true;
        if ((code1 & code2) != 0)
            return false;
        int code = code1 != 0 ? code1 : code2;
        int64_t x, y;
        // Intersections are computed from the original segment so that
        // rounding never accumulates.
        if (code & 4) {
            y = 0;
            x = Interpolate(ox1, ox2, 0 - oy1, oy2 - oy1);
        } else if (code & 8) {
            y = maxY;
            x = Interpolate(ox1, ox2, maxY - oy1, oy2 - oy1);
        } else if (code & 1) {
            x = 0;
            y = Interpolate(oy1, oy2, 0 - ox1, ox2 - ox1);
        } else {
            x = maxX;
            y = Interpolate(oy1, oy2, maxX - ox1, ox2 - ox1);
        }
        if (code == code1) {
            x1 = x;
            y1 = y;
            code1 = Outcode(x1, y1, maxX, maxY);
        } else {
            x2 = x;
            y2 = y;
            code2 = Outcode(x2, y2, maxX, maxY);
        }
    }
    return (code1 | code2) == 0;
}

void Observe(const char* call, int first, int second) {
    if (PictureCallObserver != nullptr)
        PictureCallObserver(call, first, second);
}

} // namespace

void (*PictureCallObserver)(const char* call, int first, int second) = nullptr;

void CreatePicture(int number, int width, int height) {
    Observe("create", number, -1);
    if (number < 0 || number >= PictureSlots)
        return;
    width = std::max(width, 0);
    height = std::max(height, 0);
    if (drawingOn == number)
        drawingOn = -1;
    Settle(number);
    Picture& picture = pictures[number];
    picture.width = width;
    picture.height = height;
    picture.pixels.assign(static_cast<size_t>(width) * height * 3, 0);
    exists[number] = true;
}

void BeginDrawing(int number) {
    Observe("begin", number, -1);
    drawingOn = Slot(number) != nullptr ? number : -1;
}

void EndDrawing() {
    Observe("end", -1, -1);
    drawingOn = -1;
}

void FillBox(int x, int y, int width, int height, Colour colour) {
    Picture* picture = Slot(drawingOn);
    if (picture == nullptr || width <= 0 || height <= 0)
        return;
    int64_t left = std::max<int64_t>(x, 0);
    int64_t top = std::max<int64_t>(y, 0);
    int64_t right = std::min<int64_t>(static_cast<int64_t>(x) + width, picture->width);
    int64_t bottom = std::min<int64_t>(static_cast<int64_t>(y) + height, picture->height);
    if (left >= right || top >= bottom)
        return;
    bool whole = left == 0 && top == 0 && right == picture->width && bottom == picture->height;
    if (whole && drawingOn == pendingSource) {
        // The target takes the source's buffer; the source's new buffer is
        // about to be overwritten entirely.
        std::swap(pictures[pendingTarget].pixels, picture->pixels);
        pictures[pendingTarget].width = picture->width;
        pictures[pendingTarget].height = picture->height;
        picture->pixels.resize(static_cast<size_t>(picture->width) * picture->height * 3);
        pendingSource = pendingTarget = -1;
    } else {
        Settle(drawingOn);
    }
    uint8_t blue = static_cast<uint8_t>(colour >> 16);
    uint8_t green = static_cast<uint8_t>(colour >> 8);
    uint8_t red = static_cast<uint8_t>(colour);
    size_t rowBytes = static_cast<size_t>(right - left) * 3;
    size_t stride = static_cast<size_t>(picture->width) * 3;
    uint8_t* first = &picture->pixels[static_cast<size_t>(top) * stride + left * 3];
    if (blue == green && green == red) {
        for (int64_t row = top; row < bottom; ++row)
            std::memset(first + static_cast<size_t>(row - top) * stride, red, rowBytes);
        return;
    }
    for (size_t i = 0; i < rowBytes; i += 3) {
        first[i] = blue;
        first[i + 1] = green;
        first[i + 2] = red;
    }
    for (int64_t row = top + 1; row < bottom; ++row)
        std::memcpy(first + static_cast<size_t>(row - top) * stride, first, rowBytes);
}

void DrawLine(int x1, int y1, int x2, int y2, Colour colour) {
    Picture* picture = Slot(drawingOn);
    if (picture == nullptr || picture->width == 0 || picture->height == 0)
        return;
    int64_t ax = x1, ay = y1, bx = x2, by = y2;
    if (!ClipSegment(ax, ay, bx, by, picture->width - 1, picture->height - 1))
        return;
    Settle(drawingOn);
    // Bresenham between the clipped end points, both included, stepping a
    // pointer through the pixels.
    int dx = static_cast<int>(bx > ax ? bx - ax : ax - bx);
    int dy = static_cast<int>(by > ay ? by - ay : ay - by);
    const ptrdiff_t stepX = bx >= ax ? 3 : -3;
    const ptrdiff_t stride = static_cast<ptrdiff_t>(picture->width) * 3;
    const ptrdiff_t stepY = by >= ay ? stride : -stride;
    uint8_t* p = &picture->pixels[static_cast<size_t>(ay) * static_cast<size_t>(stride) +
                                  static_cast<size_t>(ax) * 3];
    const uint8_t blue = static_cast<uint8_t>(colour >> 16);
    const uint8_t green = static_cast<uint8_t>(colour >> 8);
    const uint8_t red = static_cast<uint8_t>(colour);
    if (dx <= 1 && dy > dx) {
        // A steep segment between neighbouring columns, as a trace of fast
        // changing samples draws it: a run down the first column to half way,
        // then a run down the second, the pixels Bresenham sets.
        int firstRun = dx == 0 ? dy + 1 : dy / 2 + 1;
        const uint16_t blueGreen = static_cast<uint16_t>(blue | green << 8);
        auto run = [&](int count) {
            for (int i = 0; i < count; ++i) {
                std::memcpy(p, &blueGreen, 2); // little-endian: blue, green
                p[2] = red;
                p += stepY;
            }
        };
        run(firstRun);
        p += stepX;
        run(dy + 1 - firstRun);
        return;
    }
    ptrdiff_t major = stepX, minor = stepY;
    int longSide = dx, shortSide = dy;
    if (dy > dx) {
        major = stepY;
        minor = stepX;
        longSide = dy;
        shortSide = dx;
    }
    int error = longSide / 2;
    for (int i = 0; i <= longSide; ++i) {
        p[0] = blue;
        p[1] = green;
        p[2] = red;
        p += major;
        error -= shortSide;
        if (error < 0) {
            p += minor;
            error += longSide;
        }
    }
}

void CopyPicture(int source, int target) {
    Observe("copy", source, target);
    Picture* from = Slot(source);
    if (from == nullptr || target < 0 || target >= PictureSlots || target == source)
        return;
    if (drawingOn == source || drawingOn == target) {
        ++ruleBreaks;
        return;
    }
    FinishPendingCopy();
    exists[target] = true;
    pendingSource = source;
    pendingTarget = target;
}

const Picture* PictureByNumber(int number) {
    SettleRead(number);
    return Slot(number);
}

int PictureOpenForDrawing() {
    return drawingOn;
}

Colour PixelAt(int number, int x, int y) {
    const Picture* picture = PictureByNumber(number);
    if (picture == nullptr || x < 0 || y < 0 || x >= picture->width || y >= picture->height)
        return 0;
    const uint8_t* p = &picture->pixels[(static_cast<size_t>(y) * picture->width + x) * 3];
    return static_cast<Colour>(p[2]) | static_cast<Colour>(p[1]) << 8 |
           static_cast<Colour>(p[0]) << 16;
}

int PictureRuleBreaks() {
    return ruleBreaks;
}

void ClearPictureRuleBreaks() {
    ruleBreaks = 0;
}

// Called by a back end's ShowPicture before it takes the picture: refuses
// (and counts) a picture that is open for drawing.
bool PictureMayBeShown(int number) {
    if (number == drawingOn) {
        ++ruleBreaks;
        return false;
    }
    return Slot(number) != nullptr;
}

void FreePictures() {
    pendingSource = pendingTarget = -1;
    for (int i = 0; i < PictureSlots; ++i) {
        pictures[i] = Picture();
        exists[i] = false;
    }
    drawingOn = -1;
}

// The program's own pictures: 24-bit pixel buffers with fill, line and copy,
// shared by every back end. A back end only paints them.
#include "toolkit.h"

#include <algorithm>

namespace {

const int PictureSlots = 16;
Picture pictures[PictureSlots];
bool exists[PictureSlots];
int drawingOn = -1;
int ruleBreaks = 0;

Picture* Slot(int number) {
    if (number < 0 || number >= PictureSlots || !exists[number])
        return nullptr;
    return &pictures[number];
}

inline void SetPixel(Picture& picture, int x, int y, Colour colour) {
    uint8_t* p = &picture.pixels[(static_cast<size_t>(y) * picture.width + x) * 3];
    p[0] = static_cast<uint8_t>(colour >> 16); // blue
    p[1] = static_cast<uint8_t>(colour >> 8);  // green
    p[2] = static_cast<uint8_t>(colour);       // red
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
    uint8_t pattern[3] = {static_cast<uint8_t>(colour >> 16), static_cast<uint8_t>(colour >> 8),
                          static_cast<uint8_t>(colour)};
    for (int64_t row = top; row < bottom; ++row) {
        uint8_t* p = &picture->pixels[(static_cast<size_t>(row) * picture->width + left) * 3];
        for (int64_t column = left; column < right; ++column) {
            p[0] = pattern[0];
            p[1] = pattern[1];
            p[2] = pattern[2];
            p += 3;
        }
    }
}

void DrawLine(int x1, int y1, int x2, int y2, Colour colour) {
    Picture* picture = Slot(drawingOn);
    if (picture == nullptr || picture->width == 0 || picture->height == 0)
        return;
    int64_t ax = x1, ay = y1, bx = x2, by = y2;
    if (!ClipSegment(ax, ay, bx, by, picture->width - 1, picture->height - 1))
        return;
    // Bresenham between the clipped end points, both included.
    int dx = static_cast<int>(bx > ax ? bx - ax : ax - bx);
    int dy = static_cast<int>(by > ay ? by - ay : ay - by);
    int stepX = bx >= ax ? 1 : -1;
    int stepY = by >= ay ? 1 : -1;
    int x = static_cast<int>(ax);
    int y = static_cast<int>(ay);
    if (dx >= dy) {
        int error = dx / 2;
        for (int i = 0; i <= dx; ++i) {
            SetPixel(*picture, x, y, colour);
            x += stepX;
            error -= dy;
            if (error < 0) {
                y += stepY;
                error += dx;
            }
        }
    } else {
        int error = dy / 2;
        for (int i = 0; i <= dy; ++i) {
            SetPixel(*picture, x, y, colour);
            y += stepY;
            error -= dx;
            if (error < 0) {
                x += stepX;
                error += dy;
            }
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
    pictures[target].width = from->width;
    pictures[target].height = from->height;
    pictures[target].pixels = from->pixels;
    exists[target] = true;
}

const Picture* PictureByNumber(int number) {
    return Slot(number);
}

int PictureOpenForDrawing() {
    return drawingOn;
}

Colour PixelAt(int number, int x, int y) {
    const Picture* picture = Slot(number);
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
    for (int i = 0; i < PictureSlots; ++i) {
        pictures[i] = Picture();
        exists[i] = false;
    }
    drawingOn = -1;
}

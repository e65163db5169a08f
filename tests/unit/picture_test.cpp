// The program's own pictures: a copy is independent of its source whatever
// happens to either picture afterwards, and lines set the pixels a plain
// Bresenham line sets.
#include "app/toolkit/toolkit.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <random>

namespace {

const int Source = 4;
const int Target = 3;

class Pictures : public ::testing::Test {
  protected:
    void SetUp() override {
        FreePictures();
        ClearPictureRuleBreaks();
        CreatePicture(Source, 40, 20);
        CreatePicture(Target, 40, 20);
        BeginDrawing(Source);
        FillBox(0, 0, 40, 20, 0x00FF00);
        DrawLine(0, 5, 39, 5, 0xFF0000);
        EndDrawing();
        CopyPicture(Source, Target);
    }
    void TearDown() override {
        EXPECT_EQ(PictureRuleBreaks(), 0);
        FreePictures();
    }
    static void ExpectCopyOfTheFirstPicture() {
        EXPECT_EQ(PixelAt(Target, 7, 5), 0xFF0000u);
        EXPECT_EQ(PixelAt(Target, 7, 6), 0x00FF00u);
        EXPECT_EQ(PictureByNumber(Target)->width, 40);
        EXPECT_EQ(PictureByNumber(Target)->pixels.size(), 40u * 20u * 3u);
    }
};

TEST_F(Pictures, CopySurvivesAWholeFillOfItsSource) {
    BeginDrawing(Source);
    FillBox(0, 0, 40, 300, 0xFFFFFF);
    EndDrawing();
    ExpectCopyOfTheFirstPicture();
    EXPECT_EQ(PixelAt(Source, 7, 5), 0xFFFFFFu);
    EXPECT_EQ(PixelAt(Source, 39, 19), 0xFFFFFFu);
}

TEST_F(Pictures, CopySurvivesPartialFillsAndLinesOnItsSource) {
    BeginDrawing(Source);
    FillBox(0, 0, 10, 10, 0xFFFFFF);
    DrawLine(0, 6, 39, 6, 0x0000FF);
    EndDrawing();
    ExpectCopyOfTheFirstPicture();
    EXPECT_EQ(PixelAt(Source, 7, 6), 0x0000FFu);
}

TEST_F(Pictures, CopyIsTheSourceAsItWasWhenCopied) {
    // Reading the target first, then changing the source.
    ExpectCopyOfTheFirstPicture();
    BeginDrawing(Source);
    FillBox(0, 0, 40, 20, 0x000000);
    EndDrawing();
    ExpectCopyOfTheFirstPicture();
}

TEST_F(Pictures, DrawingOnTheTargetStartsFromTheCopy) {
    BeginDrawing(Target);
    DrawLine(0, 0, 0, 0, 0x123456);
    EndDrawing();
    ExpectCopyOfTheFirstPicture();
    EXPECT_EQ(PixelAt(Target, 0, 0), 0x123456u);
    EXPECT_EQ(PixelAt(Source, 0, 0), 0x00FF00u);
}

TEST_F(Pictures, ASecondCopyReplacesTheFirst) {
    BeginDrawing(Source);
    FillBox(0, 0, 40, 20, 0xFFFFFF);
    EndDrawing();
    CopyPicture(Source, Target);
    BeginDrawing(Source);
    FillBox(0, 0, 40, 20, 0x000000);
    EndDrawing();
    EXPECT_EQ(PixelAt(Target, 7, 5), 0xFFFFFFu);
}

TEST_F(Pictures, RecreatingTheTargetDropsThePendingCopy) {
    CreatePicture(Target, 10, 10);
    EXPECT_EQ(PixelAt(Target, 7, 5), 0u);
    BeginDrawing(Source);
    FillBox(0, 0, 40, 20, 0xFFFFFF);
    EndDrawing();
    EXPECT_EQ(PictureByNumber(Target)->width, 10);
    EXPECT_EQ(PixelAt(Target, 7, 5), 0u);
}

// Every line inside the picture sets exactly the pixels of the textbook
// Bresenham line between its end points.
TEST(Lines, SetThePixelsOfBresenhamsLine) {
    FreePictures();
    CreatePicture(Source, 64, 64);
    std::mt19937 random(921600);
    std::uniform_int_distribution<int> coordinate(0, 63);
    for (int round = 0; round < 500; ++round) {
        int x1 = coordinate(random), y1 = coordinate(random);
        int x2 = coordinate(random), y2 = coordinate(random);
        if (round % 3 == 0)
            x2 = std::min(63, x1 + 1); // the trace's steep neighbours
        BeginDrawing(Source);
        FillBox(0, 0, 64, 64, 0xFFFFFF);
        DrawLine(x1, y1, x2, y2, 0xFF0000);
        EndDrawing();

        bool expected[64][64] = {};
        int dx = std::abs(x2 - x1), dy = std::abs(y2 - y1);
        int sx = x2 >= x1 ? 1 : -1, sy = y2 >= y1 ? 1 : -1;
        int x = x1, y = y1;
        if (dx >= dy) {
            for (int i = 0, e = dx / 2; i <= dx; ++i) {
                expected[y][x] = true;
                x += sx;
                if ((e -= dy) < 0) {
                    y += sy;
                    e += dx;
                }
            }
        } else {
            for (int i = 0, e = dy / 2; i <= dy; ++i) {
                expected[y][x] = true;
                y += sy;
                if ((e -= dx) < 0) {
                    x += sx;
                    e += dy;
                }
            }
        }
        for (int row = 0; row < 64; ++row)
            for (int column = 0; column < 64; ++column)
                ASSERT_EQ(PixelAt(Source, column, row) == 0xFF0000u, expected[row][column])
                    << "line " << x1 << "," << y1 << " to " << x2 << "," << y2 << " at " << column
                    << "," << row;
    }
    FreePictures();
}

} // namespace

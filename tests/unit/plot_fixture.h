// A started program on the headless back end for the plotting tests, with
// helpers that hand chunks to the mode handlers and read the pictures.
#pragma once

#include "app/app.h"
#include "app/toolkit/headless.h"
#include "app/toolkit/probe.h"
#include "fake_serial.h"
#include "fresh_machine.h"
#include "plot/plot.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

// The figures of one update: the texts of fields 0 to 2 and the bar's value.
struct Figures {
    int count;
    const char* frames;
    const char* samples;
    const char* timeBase;
};

class PlotProgram : public ::testing::Test {
  protected:
    void SetUp() override {
        ResetFreshMachine();
        StartUp();
    }
    void TearDown() override { EXPECT_EQ(PictureRuleBreaks(), 0); }

    // Places bytes at the start of RxBuffer as the chunk of this pass.
    static void PutChunk(const std::vector<uint8_t>& bytes) {
        std::copy(bytes.begin(), bytes.end(), App.RxBuffer.begin());
        App.AvailableCount = static_cast<uint32_t>(bytes.size());
    }
    static void ScopeChunk(const std::vector<uint8_t>& bytes) {
        PutChunk(bytes);
        HandleScopeChunk();
    }
    static void PlotChunk(const std::vector<uint8_t>& bytes) {
        PutChunk(bytes);
        HandlePlotChunk();
    }

    // Sets the mode and lets a chunk of its own take the mode change, so
    // that the next chunk starts on a cleared canvas with nothing pending.
    static void EnterPlotMode(const char16_t* mode) {
        SetControlText(ModeCombo, mode);
        CheckModeChange();
    }

    // Rows of column x in the picture that carry the trace colour.
    static std::vector<int> TraceRows(int picture, int x) {
        std::vector<int> rows;
        for (int y = 0; y < 256; ++y) {
            if (PixelAt(picture, x, y) == TraceColour) {
                rows.push_back(y);
            }
        }
        return rows;
    }
    // Columns of the picture with any pixel in the trace colour.
    static std::vector<int> TraceColumns(int picture) {
        std::vector<int> columns;
        for (int x = 0; x < 1000; ++x) {
            if (!TraceRows(picture, x).empty()) {
                columns.push_back(x);
            }
        }
        return columns;
    }
    // The colour the blank grid has at (x, y).
    static Colour GridAt(int x, int y) {
        return (x % 50 == 0 || y % 32 == 0) ? GridColour : WhiteColour;
    }
    // The pixels of a picture that differ from the blank grid, as "x,y".
    static std::vector<std::string> OffGrid(int picture) {
        std::vector<std::string> off;
        for (int y = 0; y < 256; ++y) {
            for (int x = 0; x < 1000; ++x) {
                if (PixelAt(picture, x, y) != GridAt(x, y)) {
                    off.push_back(std::to_string(x) + "," + std::to_string(y));
                }
            }
        }
        return off;
    }
    static std::vector<uint8_t> Pixels(int picture) { return PictureByNumber(picture)->pixels; }

    static std::string Field(int field) { return Utf8FromText(ProbeStatusText(field)); }
    // The status bar after an update at 921600 baud.
    static void ExpectFigures(const Figures& f) {
        const int fields[] = {FrameRateField, SampleRateField, TimeBaseField};
        const char* texts[] = {f.frames, f.samples, f.timeBase};
        for (int i = 0; i < 3; ++i) {
            EXPECT_EQ(Field(fields[i]), texts[i]);
            EXPECT_EQ(ProbeStatusFlags(fields[i]), StatusCentred);
        }
        EXPECT_EQ(BarValue(), f.count);
        EXPECT_EQ(BarMaximum(), 92160);
        EXPECT_EQ(Field(LoadLabelField), "COM-Auslastung: ");
    }
    static int BarValue() {
        int value = 0, minimum = 0, maximum = 0;
        ProbeStatusProgress(LoadBarField, &value, &minimum, &maximum);
        return value;
    }
    static int BarMaximum() {
        int value = 0, minimum = 0, maximum = 0;
        ProbeStatusProgress(LoadBarField, &value, &minimum, &maximum);
        return maximum;
    }
};

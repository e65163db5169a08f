// Speed of the plotting paths on the headless back end: bytes a second through
// HandleScopeChunk, drawing and handing over sweeps, for three waveforms, and
// the cost of one PlotStep sample.
#include "app/app.h"
#include "app/toolkit/headless.h"
#include "fake_serial.h"
#include "fresh_machine.h"
#include "plot/plot.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdint>
#include <random>
#include <vector>

namespace {

// A chunk as the driver's recommended input queue would hold it.
const uint32_t ChunkBytes = 10000;

enum Waveform { Sine = 0, Square = 1, Noise = 2 };

// ChunkBytes samples; the periods divide the chunk, so chunk after chunk
// forms one unbroken wave.
std::vector<uint8_t> MakeWave(int waveform) {
    std::vector<uint8_t> wave(ChunkBytes);
    std::mt19937 random(12345);
    const double pi = 3.14159265358979323846;
    for (uint32_t i = 0; i < ChunkBytes; ++i) {
        switch (waveform) {
        case Sine: // period 400 samples, full range
            wave[i] = static_cast<uint8_t>(std::lround(127.5 + 127.5 * std::sin(2 * pi * i / 400)));
            break;
        case Square: // period 200 samples, 64 and 192
            wave[i] = (i % 200) < 100 ? 192 : 64;
            break;
        default: // every value 0 to 255 equally likely
            wave[i] = static_cast<uint8_t>(random() & 0xFF);
            break;
        }
    }
    return wave;
}

// The program as start-up leaves it, in "Oszilloskop" with the given trigger.
void StartProgram(const char16_t* trigger) {
    ResetFreshMachine();
    StartUp();
    SetControlText(TriggerCombo, trigger);
}

void ScopeChunks(benchmark::State& state, const char16_t* trigger) {
    StartProgram(trigger);
    const std::vector<uint8_t> wave = MakeWave(static_cast<int>(state.range(0)));
    std::copy(wave.begin(), wave.end(), App.RxBuffer.begin());
    App.AvailableCount = ChunkBytes;
    int64_t handOvers = 0;
    for (auto _ : state) {
        HandleScopeChunk();
        // The headless record of shown pictures would grow without end.
        handOvers += static_cast<int64_t>(headless::ShownPictures().size());
        headless::ClearShownPictures();
    }
    state.SetItemsProcessed(state.iterations() * ChunkBytes);
    state.counters["sweeps/s"] =
        benchmark::Counter(static_cast<double>(handOvers), benchmark::Counter::kIsRate);
}

void BM_ScopeFreeRunning(benchmark::State& state) {
    ScopeChunks(state, u"aus");
}
// A threshold each wave crosses upwards: 128 on the sine and the noise, the
// low level 64 of the square.
void BM_ScopeTriggered(benchmark::State& state) {
    ScopeChunks(state, state.range(0) == Square ? u"64" : u"128");
}

void BM_PlotStepSample(benchmark::State& state) {
    StartProgram(u"aus");
    PlotStep(-1, PlotReset);
    int32_t value = 0;
    for (auto _ : state) {
        PlotStep(value, PlotWithStats);
        value = (value + 7) & 0xFF;
        if (headless::ShownPictures().size() > 100000) {
            headless::ClearShownPictures();
        }
    }
    state.SetItemsProcessed(state.iterations());
}

} // namespace

BENCHMARK(BM_ScopeFreeRunning)->ArgName("wave")->Arg(Sine)->Arg(Square)->Arg(Noise);
BENCHMARK(BM_ScopeTriggered)->ArgName("wave")->Arg(Sine)->Arg(Square)->Arg(Noise);
BENCHMARK(BM_PlotStepSample);

BENCHMARK_MAIN();

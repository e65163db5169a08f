// The byte stream of the virtual board: one sample per byte, from a wave form
// or from the bytes of a file played in a loop.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace board {

enum class WaveForm { Sine, Square, Triangle, Sawtooth, Noise, File };

struct Signal {
    WaveForm form = WaveForm::Sine;
    double frequency = 250.0; // Hz
    double amplitude = 100.0; // samples above and below the offset
    double offset = 128.0;
    double sampleRate = 92160.0;    // bytes a second on the line
    std::vector<uint8_t> fileBytes; // WaveForm::File
};

// The wave form named by text ("sine", "square", ...); false if none.
bool WaveFormByName(const std::string& name, WaveForm* form);
const char* WaveFormName(WaveForm form);

// Writes the samples index, index + 1, ... into out. Every wave starts at
// its offset rising (sample 0 of a sine is the offset); values are rounded
// and clamped to 0..255. Noise is the same for the same indices.
void Samples(const Signal& signal, uint64_t index, uint8_t* out, size_t count);

} // namespace board

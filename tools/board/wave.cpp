// Sample values of the virtual board's wave forms.
#include "wave.h"

#include <cmath>

namespace board {

namespace {

const struct {
    WaveForm form;
    const char* name;
} Names[] = {{WaveForm::Sine, "sine"},         {WaveForm::Square, "square"},
             {WaveForm::Triangle, "triangle"}, {WaveForm::Sawtooth, "sawtooth"},
             {WaveForm::Noise, "noise"},       {WaveForm::File, "file"}};

// A value from -1 to 1 that depends only on the index.
double NoiseAt(uint64_t index) {
    uint64_t x = index + 0x9E3779B97F4A7C15ull;
    x = (x ^ (x >> 30)) * 0xBF58476D1CE4E5B9ull;
    x = (x ^ (x >> 27)) * 0x94D049BB133111EBull;
    x ^= x >> 31;
    return double(x >> 11) / double(1ull << 53) * 2.0 - 1.0;
}

// The wave at phase 0 <= p < 1, from -1 to 1, starting at 0 and rising.
double Shape(WaveForm form, double p) {
    switch (form) {
    case WaveForm::Sine:
        return std::sin(2.0 * M_PI * p);
    case WaveForm::Square:
        return p < 0.5 ? 1.0 : -1.0;
    case WaveForm::Triangle:
        return p < 0.25 ? 4.0 * p : p < 0.75 ? 2.0 - 4.0 * p : 4.0 * p - 4.0;
    case WaveForm::Sawtooth:
        return p < 0.5 ? 2.0 * p : 2.0 * p - 2.0;
    default:
        return 0.0;
    }
}

uint8_t Clamped(double value) {
    double rounded = std::floor(value + 0.5);
    return uint8_t(rounded < 0 ? 0 : rounded > 255 ? 255 : rounded);
}

} // namespace

bool WaveFormByName(const std::string& name, WaveForm* form) {
    for (const auto& entry : Names) {
        if (name == entry.name && entry.form != WaveForm::File) {
            *form = entry.form;
            return true;
        }
    }
    return false;
}

const char* WaveFormName(WaveForm form) {
    for (const auto& entry : Names)
        if (entry.form == form)
            return entry.name;
    return "?";
}

void Samples(const Signal& signal, uint64_t index, uint8_t* out, size_t count) {
    if (signal.form == WaveForm::File) {
        size_t size = signal.fileBytes.size();
        for (size_t i = 0; i < count; ++i)
            out[i] = size ? signal.fileBytes[(index + i) % size] : 0;
        return;
    }
    // The phase of sample n is frac(n * f / rate); taken as a fraction of
    // whole periods so that it stays exact over long runs.
    double periodSamples = signal.frequency > 0 ? signal.sampleRate / signal.frequency : 0;
    for (size_t i = 0; i < count; ++i) {
        uint64_t n = index + i;
        double value;
        if (signal.form == WaveForm::Noise) {
            value = NoiseAt(n);
        } else if (periodSamples <= 0) {
            value = 0.0;
        } else {
            double whole = std::floor(double(n) / periodSamples);
            double phase = (double(n) - whole * periodSamples) / periodSamples;
            if (phase < 0 || phase >= 1)
                phase = 0;
            value = Shape(signal.form, phase);
        }
        out[i] = Clamped(signal.offset + signal.amplitude * value);
    }
}

} // namespace board

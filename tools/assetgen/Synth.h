#pragma once
#include <cstdint>
#include <string>
#include <vector>

// Small deterministic sound synthesis for the generated sounds. Sine and
// exponential are computed here from plain arithmetic rather than the C
// library, so the same samples come out wherever the generator is built.
namespace assetgen {
namespace synth {

constexpr int RATE = 22050;
constexpr double PI = 3.14159265358979323846;

using Samples = std::vector<double>;

double sine(double turns);            // sin(2 pi turns)
double expo(double x);                // e^x
double noise(int index, uint32_t seed); // white noise in [-1, 1)
double noteHz(double midiNote);       // 69 = A4 = 440 Hz
double dbToGain(double db);

// Linear attack, exponential decay towards the sustain level while the gate
// is open, then a linear release to silence.
double envelope(double t, double attack, double decayTime, double sustain, double gate, double release);

// A voice of a few harmonics with 1/k fall-off (a soft, band-limited
// saw or square when oddOnly), phase kept by the caller's sample index.
double harmonics(double phaseTurns, int count, bool oddOnly);

// Adds src into dst starting at sample `at`; with wrap, samples past the end
// continue at the start (seamless loops).
void mixInto(Samples& dst, const Samples& src, long at, double gain, bool wrap);

// Scales to the given peak (dBFS).
void normalise(Samples& s, double peakDb);

// 16-bit PCM mono WAV at RATE. False on failure.
bool writeWav(const std::string& path, const Samples& s);

} // namespace synth

bool generateMusic(const std::string& path); // the looping background track
} // namespace assetgen

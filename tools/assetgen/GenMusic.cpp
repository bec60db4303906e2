// sounds/bgm.wav: a 40-second loop in A minor, 120 beats a minute, twenty
// bars of Am - F - C - G. Every note is mixed into the track modulo its
// length, so any tail that rang past the end would continue at the start; the
// last bar lets everything die away, so the track also starts and ends at
// silence and loops without a click.
#include <functional>

#include "tools/assetgen/Filter.h"
#include "tools/assetgen/Synth.h"

namespace assetgen {
namespace {

using namespace synth;

constexpr double BEAT = 0.5;             // seconds
constexpr double BAR = 4 * BEAT;
constexpr int BARS = 20;
constexpr double EIGHTH = BEAT / 2;
constexpr double SIXTEENTH = BEAT / 4;

Samples render(double seconds, const std::function<double(double)>& f) {
    Samples s(static_cast<size_t>(seconds * RATE));
    for (size_t i = 0; i < s.size(); ++i) s[i] = f(static_cast<double>(i) / RATE);
    return s;
}

long at(double seconds) { return static_cast<long>(seconds * RATE + 0.5); }

Samples kick() {
    double phase = 0.0;
    return render(0.3, [&](double t) {
        phase += (45.0 + 110.0 * expo(-t / 0.03)) / RATE;
        return sine(phase) * envelope(t, 0.002, 0.12, 0.0, 0.27, 0.03);
    });
}

Samples snare(int seed) {
    Filter body;
    int i = 0;
    return render(0.25, [&](double t) {
        const double n = body.bandPass(noise(i++, 100u + static_cast<uint32_t>(seed)), 1800.0, 0.8);
        const double tone = sine(190.0 * t) * envelope(t, 0.001, 0.04, 0.0, 0.22, 0.03);
        return (1.6 * n + 0.5 * tone) * envelope(t, 0.001, 0.09, 0.0, 0.22, 0.03);
    });
}

Samples hat(int seed) {
    Filter low;
    int i = 0;
    return render(0.08, [&](double t) {
        const double n = noise(i++, 200u + static_cast<uint32_t>(seed));
        return (n - low.lowPass(n, 5000.0)) * envelope(t, 0.001, 0.022, 0.0, 0.06, 0.02);
    });
}

Samples bass(double midi) {
    const double hz = noteHz(midi);
    Filter filter;
    return render(EIGHTH, [&](double t) {
        const double cutoff = 300.0 + 1200.0 * expo(-t / 0.06);
        const double v = filter.lowPass(harmonics(hz * t, 8, false), cutoff);
        return v * envelope(t, 0.004, 0.15, 0.6, EIGHTH - 0.03, 0.025);
    });
}

Samples pad(double midi) {
    const double hz = noteHz(midi);
    // Fades out by the end of its bar, so nothing rings across the loop point.
    return render(BAR, [&](double t) {
        const double chorus = 0.5 * (harmonics(hz * t, 3, false) + harmonics(hz * 1.003 * t, 3, false));
        return chorus * envelope(t, 0.25, 1.0, 0.8, BAR - 0.3, 0.29);
    });
}

Samples pluck(double midi) {
    const double hz = noteHz(midi);
    return render(0.2, [&](double t) {
        return harmonics(hz * t, 4, true) * envelope(t, 0.003, 0.06, 0.0, 0.17, 0.03);
    });
}

Samples lead(double midi, double length) {
    const double hz = noteHz(midi);
    double phase = 0.0;
    return render(length + 0.06, [&](double t) {
        const double vib = 1.0 + 0.005 * sine(5.0 * t) * (t > 0.25 ? 1.0 : t / 0.25);
        phase += hz * vib / RATE;
        return harmonics(phase, 5, false) * envelope(t, 0.012, 0.2, 0.6, length - 0.02, 0.06);
    });
}

struct Chord {
    double root;        // bass note
    double tones[3];    // middle voicing
};

const Chord CHORDS[4] = {
    {45, {57, 60, 64}},  // Am
    {41, {57, 60, 65}},  // F
    {48, {55, 60, 64}},  // C
    {43, {55, 59, 62}},  // G
};

struct MelodyNote {
    double midi;        // 0 = rest
    int eighths;
};

// Four bars of tune, eight eighths each; the second cycle ends by climbing
// back towards the top of the loop.
const std::vector<std::vector<MelodyNote>> TUNE_A = {
    {{76, 2}, {72, 1}, {74, 1}, {76, 2}, {81, 2}},
    {{77, 3}, {76, 1}, {72, 2}, {69, 2}},
    {{67, 2}, {72, 2}, {76, 2}, {79, 2}},
    {{74, 2}, {71, 2}, {67, 4}},
};
const std::vector<std::vector<MelodyNote>> TUNE_B = {
    {{81, 3}, {79, 1}, {76, 2}, {72, 2}},
    {{77, 2}, {81, 2}, {84, 3}, {81, 1}},
    {{79, 2}, {76, 2}, {72, 2}, {76, 2}},
    {{79, 2}, {77, 2}, {76, 2}, {74, 2}},
};

} // namespace

bool generateMusic(const std::string& path) {
    Samples track(static_cast<size_t>(BARS * BAR * RATE), 0.0);
    const Samples kickSound = kick();
    for (int bar = 0; bar < BARS; ++bar) {
        const int cycle = bar / 4;
        const Chord& chord = CHORDS[bar % 4];
        const double t0 = bar * BAR;

        // Drums: kick on 1 and 3 (and the "and" of 4 from the second cycle),
        // snare on 2 and 4, hats on the eighths.
        for (int beat = 0; beat < 4; ++beat) {
            if (beat % 2 == 0) mixInto(track, kickSound, at(t0 + beat * BEAT), 0.9, true);
            if (cycle >= 1 && beat % 2 == 1) mixInto(track, snare(bar * 4 + beat), at(t0 + beat * BEAT), 0.45, true);
        }
        if (cycle >= 1 && cycle <= 3) mixInto(track, kickSound, at(t0 + 3.5 * BEAT), 0.6, true);
        for (int e = 0; e < 8; ++e)
            mixInto(track, hat(bar * 8 + e), at(t0 + e * EIGHTH), e % 2 == 0 ? 0.22 : 0.14, true);

        // Bass: eighths on the root, an octave jump on the last two.
        for (int e = 0; e < 8; ++e) {
            const double midi = chord.root + (e >= 6 ? 12.0 : 0.0);
            mixInto(track, bass(midi), at(t0 + e * EIGHTH), 0.42, true);
        }

        // Pad: the chord held for the bar.
        for (double tone : chord.tones) mixInto(track, pad(tone), at(t0), 0.07, true);

        // Arpeggio in sixteenths from the second cycle on.
        if (cycle >= 1) {
            const int pattern[8] = {0, 1, 2, 1, 0, 2, 1, 2};
            // The very last sixteenth rests, so the track ends (and starts) in silence.
            const int count = bar == BARS - 1 ? 15 : 16;
            for (int k = 0; k < count; ++k) {
                const int step = pattern[k % 8];
                const double midi = chord.tones[step] + (k >= 8 ? 12.0 : 0.0);
                mixInto(track, pluck(midi), at(t0 + k * SIXTEENTH), cycle == 2 ? 0.07 : 0.11, true);
            }
        }

        // Tune in the third and fourth cycles.
        if (cycle == 2 || cycle == 3) {
            const auto& tune = cycle == 2 ? TUNE_A : TUNE_B;
            double t = t0;
            for (const MelodyNote& n : tune[bar % 4]) {
                const double length = n.eighths * EIGHTH;
                if (n.midi > 0) mixInto(track, lead(n.midi, length - 0.02), at(t), 0.22, true);
                t += length;
            }
        }
    }
    normalise(track, -3.0);
    return writeWav(path, track);
}

} // namespace assetgen

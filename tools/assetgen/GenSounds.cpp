// sounds/*.wav: the game's nine sounds, synthesised (16-bit mono 22050 Hz).
#include <filesystem>

#include "tools/assetgen/Generators.h"
#include "tools/assetgen/Filter.h"
#include "tools/assetgen/Synth.h"

namespace assetgen {
namespace {

using namespace synth;

Samples silence(double seconds) { return Samples(static_cast<size_t>(seconds * RATE), 0.0); }

double timeOf(size_t i) { return static_cast<double>(i) / RATE; }

// Explosion: a roar of low-passed noise whose cutoff falls, a sub-bass
// thump and a few crackles. Kept at -10 dBFS: the game plays it with gain 3.
Samples explosion() {
    Samples s = silence(1.8);
    Filter roar, roar2, crackle;
    double thumpPhase = 0.0;
    for (size_t i = 0; i < s.size(); ++i) {
        const double t = timeOf(i);
        const double cutoff = 180.0 + 3200.0 * expo(-t / 0.18);
        const double n = roar2.lowPass(roar.lowPass(noise(static_cast<int>(i), 11), cutoff), cutoff);
        const double body = n * envelope(t, 0.004, 0.45, 0.0, 10.0, 0.0) * 2.2;
        thumpPhase += (28.0 + 52.0 * expo(-t / 0.12)) / RATE;
        const double thump = sine(thumpPhase) * envelope(t, 0.003, 0.28, 0.0, 10.0, 0.0);
        // Sparse crackles during the first half second.
        double c = 0.0;
        if (t < 0.7 && noise(static_cast<int>(i), 12) > 0.9965) c = noise(static_cast<int>(i), 13);
        const double crack = crackle.lowPass(c, 2500.0) * 3.0 * (1.0 - t / 0.7 > 0 ? 1.0 - t / 0.7 : 0.0);
        const double fadeEnd = t > 1.6 ? (1.8 - t) / 0.2 : 1.0;  // reach silence at the end
        // Soft saturation: a fuller roar for the same peak.
        const double x = 2.5 * (body + 0.9 * thump + crack);
        s[i] = x / (1.0 + (x < 0 ? -x : x)) * fadeEnd;
    }
    normalise(s, -10.0);
    return s;
}

// A bright rising arpeggio with bell-like decay: an item was picked up.
Samples pickupChime() {
    Samples s = silence(0.7);
    const double notes[] = {76, 80, 83, 88};  // E5 G#5 B5 E6
    for (int k = 0; k < 4; ++k) {
        const double start = 0.065 * k, hz = noteHz(notes[k]);
        for (size_t i = 0; i < s.size(); ++i) {
            const double t = timeOf(i) - start;
            if (t < 0.0) continue;
            const double env = envelope(t, 0.004, 0.16, 0.0, 0.6 - start, 0.04);
            s[i] += env * (sine(hz * t) + 0.35 * sine(2.0 * hz * t) + 0.12 * sine(3.01 * hz * t));
        }
    }
    normalise(s, -3.0);
    return s;
}

// Rocket launch: a whoosh of band-passed noise sweeping down, over a falling
// buzz.
Samples shot() {
    Samples s = silence(0.6);
    Filter whoosh;
    Filter soften;
    double phase = 0.0;
    for (size_t i = 0; i < s.size(); ++i) {
        const double t = timeOf(i);
        const double centre = 500.0 + 3800.0 * expo(-t / 0.12);
        const double n = whoosh.bandPass(noise(static_cast<int>(i), 21), centre, 0.35);
        phase += (180.0 + 700.0 * expo(-t / 0.08)) / RATE;
        const double buzz = soften.lowPass(harmonics(phase, 6, false), 2000.0);
        const double env = envelope(t, 0.008, 0.16, 0.0, 0.55, 0.05);
        s[i] = env * (n * 1.4 + 0.35 * buzz * expo(-t / 0.1));
    }
    normalise(s, -1.0);
    return s;
}

// A crash: a falling thump, a short noise crack and, when metal is
// involved, a few inharmonic clangs.
Samples crash(double seconds, double thumpHz, double crackCutoff, double clang, double peakDb, uint32_t seed) {
    Samples s = silence(seconds);
    Filter crackFilter;
    double phase = 0.0;
    const double partials[] = {317.0, 523.0, 841.0, 1187.0};
    for (size_t i = 0; i < s.size(); ++i) {
        const double t = timeOf(i);
        phase += (thumpHz * 0.45 + thumpHz * 0.55 * expo(-t / 0.05)) / RATE;
        const double thump = sine(phase) * envelope(t, 0.002, seconds * 0.25, 0.0, seconds - 0.03, 0.03);
        const double crack = crackFilter.lowPass(noise(static_cast<int>(i), seed), crackCutoff) *
                             envelope(t, 0.001, 0.03, 0.0, seconds - 0.03, 0.03) * 2.5;
        double metal = 0.0;
        for (int k = 0; k < 4; ++k) metal += sine(partials[k] * t) / (k + 1);
        metal *= clang * envelope(t, 0.002, 0.12, 0.0, seconds - 0.03, 0.03);
        s[i] = thump + crack + metal;
    }
    normalise(s, peakDb);
    return s;
}

// Two short soft-square blips: a menu command was taken.
Samples menuBlip() {
    Samples s = silence(0.14);
    const double hz[] = {noteHz(81), noteHz(88)};  // A5, E6
    for (int k = 0; k < 2; ++k) {
        const double start = 0.06 * k;
        for (size_t i = 0; i < s.size(); ++i) {
            const double t = timeOf(i) - start;
            if (t < 0.0) continue;
            s[i] += envelope(t, 0.003, 0.05, 0.3, 0.05, 0.015) * harmonics(hz[k] * t, 4, true);
        }
    }
    normalise(s, -10.0);  // heard on every key command: kept modest
    return s;
}

// A brass-like note: harmonics that brighten with the attack, slight vibrato.
void brass(Samples& s, double start, double length, double midi, double level) {
    const double hz = noteHz(midi);
    const size_t first = static_cast<size_t>(start * RATE);
    double phase = 0.0;
    for (size_t i = first; i < s.size(); ++i) {
        const double t = timeOf(i) - start;
        if (t > length + 0.12) break;
        const double vib = 1.0 + 0.004 * sine(5.5 * t) * (t > 0.2 ? 1.0 : t / 0.2);
        phase += hz * vib / RATE;
        const double env = envelope(t, 0.02, 0.3, 0.7, length, 0.12);
        // Brighter while louder; each harmonic fades in and out smoothly.
        const double brightness = 3.0 + 5.0 * env;
        double v = 0.0;
        for (int k = 1; k <= 8; ++k) {
            double w = brightness - (k - 1);
            w = w < 0.0 ? 0.0 : (w > 1.0 ? 1.0 : w);
            v += w * sine(phase * k) / k;
        }
        s[i] += level * env * v;
    }
}

// Fanfare for the winner: a rising triplet call, then a held major chord.
Samples winFanfare() {
    Samples s = silence(2.8);
    const double call[] = {67, 72, 76, 72, 76};  // G4 C5 E5 C5 E5
    const double at[] = {0.0, 0.14, 0.28, 0.5, 0.64};
    for (int k = 0; k < 5; ++k) brass(s, at[k], 0.11, call[k], 1.0);
    for (double m : {72.0, 76.0, 79.0, 84.0}) brass(s, 0.85, 1.7, m, 0.6);
    normalise(s, -3.0);
    return s;
}

// Good-bye: three falling notes to a soft low C. Short, the program waits
// for it to end before it quits.
Samples goodbye() {
    Samples s = silence(0.95);
    const double notes[] = {79, 76, 72};  // G5 E5 C5
    for (int k = 0; k < 3; ++k) {
        const double start = 0.13 * k, hz = noteHz(notes[k]);
        for (size_t i = 0; i < s.size(); ++i) {
            const double t = timeOf(i) - start;
            if (t < 0.0) continue;
            const double gate = k == 2 ? 0.45 : 0.11;
            s[i] += envelope(t, 0.005, 0.25, 0.3, gate, 0.25) *
                    (sine(hz * t) + 0.3 * sine(2.0 * hz * t) + 0.5 * sine(0.5 * hz * t) * (k == 2 ? 1.0 : 0.0));
        }
    }
    normalise(s, -3.0);
    return s;
}

} // namespace

bool generateSounds(const std::string& root) {
    std::error_code ec;
    std::filesystem::create_directories(std::filesystem::path(root) / "sounds", ec);
    const std::string dir = root + "/sounds/";
    bool ok = true;
    ok &= writeWav(dir + "explode.wav", explosion());
    ok &= writeWav(dir + "getitem.wav", pickupChime());
    ok &= writeWav(dir + "shoot.wav", shot());
    ok &= writeWav(dir + "hitloud.wav", crash(0.5, 110.0, 3000.0, 0.5, -1.0, 31));
    ok &= writeWav(dir + "hitsoft.wav", crash(0.3, 85.0, 900.0, 0.0, -9.0, 32));
    ok &= writeWav(dir + "menu.wav", menuBlip());
    ok &= writeWav(dir + "win.wav", winFanfare());
    ok &= writeWav(dir + "bye.wav", goodbye());
    ok &= generateMusic(dir + "bgm.wav");
    return ok;
}

} // namespace assetgen

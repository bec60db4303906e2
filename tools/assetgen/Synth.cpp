#include "tools/assetgen/Synth.h"

#include <cmath>
#include <cstdio>
#include <fstream>

#include "tools/assetgen/Image.h"

namespace assetgen {
namespace synth {

double sine(double turns) {
    // Reduce to [-1/2, 1/2] turn, then to [-pi/2, pi/2] by symmetry.
    double r = turns - std::floor(turns + 0.5);
    double x = 2.0 * PI * r;
    if (x > PI / 2) x = PI - x;
    if (x < -PI / 2) x = -PI - x;
    const double x2 = x * x;
    // Taylor series to x^13: error below 1e-9 on [-pi/2, pi/2].
    double term = x, sum = x;
    for (int k = 1; k <= 6; ++k) {
        term *= -x2 / ((2.0 * k) * (2.0 * k + 1.0));
        sum += term;
    }
    return sum;
}

double expo(double x) {
    if (x < -700.0) return 0.0;
    if (x > 700.0) x = 700.0;
    const double y = x * 1.4426950408889634;  // log2(e)
    const double n = std::floor(y);
    const double f = (y - n) * 0.6931471805599453;  // in [0, ln 2)
    double term = 1.0, sum = 1.0;
    for (int k = 1; k <= 14; ++k) {
        term *= f / k;
        sum += term;
    }
    return std::ldexp(sum, static_cast<int>(n));
}

double noise(int index, uint32_t seed) {
    return 2.0 * static_cast<double>(hashNoise(index, static_cast<int>(seed % 7919u), seed)) - 1.0;
}

double noteHz(double midiNote) { return 440.0 * expo((midiNote - 69.0) / 12.0 * 0.6931471805599453); }

double dbToGain(double db) { return expo(db / 20.0 * 2.302585092994046); }

double envelope(double t, double attack, double decayTime, double sustain, double gate, double release) {
    if (t < 0.0) return 0.0;
    auto held = [&](double u) {
        if (u < attack) return u / attack;
        return sustain + (1.0 - sustain) * expo(-(u - attack) / decayTime);
    };
    if (t < gate) return held(t);
    if (release <= 0.0 || t >= gate + release) return 0.0;
    return held(gate) * (1.0 - (t - gate) / release);
}

double harmonics(double phaseTurns, int count, bool oddOnly) {
    double sum = 0.0;
    for (int k = 1, used = 0; used < count; ++k) {
        if (oddOnly && k % 2 == 0) continue;
        sum += sine(phaseTurns * k) / k;
        ++used;
    }
    return sum;
}

void mixInto(Samples& dst, const Samples& src, long at, double gain, bool wrap) {
    const long n = static_cast<long>(dst.size());
    if (n == 0) return;
    for (size_t i = 0; i < src.size(); ++i) {
        long j = at + static_cast<long>(i);
        if (wrap) {
            j %= n;
            if (j < 0) j += n;
        } else if (j < 0 || j >= n) {
            continue;
        }
        dst[static_cast<size_t>(j)] += gain * src[i];
    }
}

void normalise(Samples& s, double peakDb) {
    double peak = 0.0;
    for (double v : s) peak = std::fmax(peak, std::fabs(v));
    if (peak <= 0.0) return;
    const double g = dbToGain(peakDb) / peak;
    for (double& v : s) v *= g;
}

namespace {
void put16(std::ofstream& out, uint16_t v) {
    const char b[2] = {static_cast<char>(v & 0xFF), static_cast<char>(v >> 8)};
    out.write(b, 2);
}
void put32(std::ofstream& out, uint32_t v) {
    put16(out, static_cast<uint16_t>(v & 0xFFFF));
    put16(out, static_cast<uint16_t>(v >> 16));
}
} // namespace

bool writeWav(const std::string& path, const Samples& s) {
    std::ofstream out(path, std::ios::binary);
    const uint32_t dataBytes = static_cast<uint32_t>(s.size() * 2);
    out.write("RIFF", 4);
    put32(out, 36 + dataBytes);
    out.write("WAVEfmt ", 8);
    put32(out, 16);          // fmt chunk size
    put16(out, 1);           // PCM
    put16(out, 1);           // mono
    put32(out, RATE);
    put32(out, RATE * 2);    // bytes per second
    put16(out, 2);           // block align
    put16(out, 16);          // bits per sample
    out.write("data", 4);
    put32(out, dataBytes);
    for (double v : s) {
        double q = std::floor(v * 32767.0 + 0.5);
        if (q > 32767.0) q = 32767.0;
        if (q < -32768.0) q = -32768.0;
        put16(out, static_cast<uint16_t>(static_cast<int16_t>(q)));
    }
    if (!out) {
        std::fprintf(stderr, "assetgen: cannot write %s\n", path.c_str());
        return false;
    }
    return true;
}

} // namespace synth
} // namespace assetgen

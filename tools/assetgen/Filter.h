#pragma once

namespace assetgen {
namespace synth {

// A filter for one signal: keep one object per voice and use it for one kind
// of filtering only (the state is shared by both kinds).
class Filter {
public:
    // One-pole low-pass.
    double lowPass(double in, double cutoffHz);
    // Chamberlin state-variable filter, band-pass output; damping 2 is very
    // wide, small values ring.
    double bandPass(double in, double centreHz, double damping);

private:
    double low = 0.0;
    double band = 0.0;
};

} // namespace synth
} // namespace assetgen

#include "tools/assetgen/Filter.h"

#include "tools/assetgen/Synth.h"

namespace assetgen {
namespace synth {

double Filter::lowPass(double in, double cutoffHz) {
    const double a = 1.0 - expo(-2.0 * PI * cutoffHz / RATE);
    low += a * (in - low);
    return low;
}

double Filter::bandPass(double in, double centreHz, double damping) {
    double f = 2.0 * sine(centreHz / (2.0 * RATE));
    if (f > 1.2) f = 1.2;  // keeps the filter stable near Nyquist
    low += f * band;
    const double high = in - low - damping * band;
    band += f * high;
    return band;
}

} // namespace synth
} // namespace assetgen

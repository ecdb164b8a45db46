#pragma once

// Marks the product leaves in a render of a constant input, found from the audio alone, so that a
// real host's render can be compared with the test host's:
// - a step start of the sequencer: the gate fades the output linearly to zero over 20 samples
//   (0.95, 0.90, ... of the level before), where both envelopes restart;
// - an envelope restart by a note: the output falls to zero from one sample to the next.
// A constant input keeps the level before a mark smooth, which is what makes both shapes plain.

#include <cstdint>
#include <vector>

namespace hostcheck {

// First samples of the gate fades in `y`, found strictly (every sample within 0.03 of the fade).
std::vector<int64_t> findStepStarts(const std::vector<double>& y);
// Whether a fade starts within `tolerance` samples of `at`, looked for loosely (within 0.1: the
// LFOs move the level during a fade, differently when the bar restarts a few samples off).
bool stepStartNear(const std::vector<double>& y, int64_t at, int64_t tolerance);

// Samples at which the output drops to zero (below 1% of the level before, at least `floor`).
std::vector<int64_t> findRestarts(const std::vector<double>& y, double floor = 1e-3);
// Whether the output drops within `tolerance` samples of `at` (below 5% of the level before).
bool restartNear(const std::vector<double>& y, int64_t at, int64_t tolerance);

}  // namespace hostcheck

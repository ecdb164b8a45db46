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

// First samples of the gate fades in `y`.
std::vector<int64_t> findStepStarts(const std::vector<double>& y);

// Samples at which the output drops to zero from a level of at least `floor`.
std::vector<int64_t> findRestarts(const std::vector<double>& y, double floor = 1e-3);

}  // namespace hostcheck

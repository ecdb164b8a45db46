#pragma once

// `vsthost validate`: a standard battery of checks for any VST 2.4 plug-in, covering what plug-in
// validators check and what they leave out.
//
//   lifecycle  entry point and record, many instances opened and closed, suspend and resume with
//              sample-rate and block-size changes
//   text       every text opcode into buffers with guard bytes: bounds, termination, and the
//              interface's lengths (exceeding those is a warning: hosts allocate more)
//   params     every parameter at 0, 0.5, 1, out of range and NaN; display text back through
//              effString2Parameter
//   programs   names, switching, out-of-range indexes, renaming
//   state      program and bank chunks and parameter state, re-read byte for byte
//   process    22.05 to 192 kHz x blocks of 0, 1, odd sizes and up to 8192 x every callback x
//              separate and in-place buffers: no NaN, infinity or denormal out, inputs untouched;
//              variable block sizes; the accumulating callback adds
//   time       host time as real hosts send it: stopped, pre-roll, a song position starting at
//              1.0, rounded positions, loops, locates, tempo and time-signature changes, none
//   midi       events at every offset of a block
//   threads    automation from a second thread while processing (races show under
//              ThreadSanitizer)
//   realtime   no allocation inside the processing callbacks (where an allocation probe exists)

#include <string>
#include <utility>
#include <vector>

#include "tools/vsthost/validation_report.h"

namespace vsthost {

struct ValidateOptions
{
  std::string plugin;
  // Check ids to report as known faults rather than failures, each with its reason.
  std::vector<std::pair<std::string, std::string>> knownFaults;
  // Groups to run ("process", "time", ...); empty: all. The plug-in is always loaded first.
  std::vector<std::string> groups;
};

ValidationReport validatePlugin(const ValidateOptions& options);

// "ID" or "ID=REASON".
std::pair<std::string, std::string> parseKnownFault(const std::string& text);

}  // namespace vsthost

// effSetChunk with hostile data, as a bank and as a program: an accepted chunk reads back the same
// way again, a refused one changes nothing, and every parameter stays finite and in its range.

#include "tests/support/InProcessHost.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <vector>

namespace {

std::vector<uint8_t> GetChunk(InProcessHost& host, int index)
{
  void* data = nullptr;
  const VstIntPtr size = host.Dispatch(effGetChunk, index, 0, &data);
  if (size <= 0 || !data)
    abort();
  return std::vector<uint8_t>((uint8_t*)data, (uint8_t*)data + size);
}

void CheckParameters(InProcessHost& host)
{
  PluginVST* p = host.Plug();
  for (int i = 0; i < p->NParams(); ++i)
  {
    double lo, hi;
    p->GetParam(i)->GetBounds(&lo, &hi);
    const double v = p->GetParam(i)->Value();
    const float n = host.Effect()->getParameter(host.Effect(), i);
    if (!std::isfinite(v) || v < lo || v > hi || !(n >= 0.0f && n <= 1.0f))
      abort();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
  // First byte: bit 0 selects bank (0) or program (1) request, bit 1 puts a state header in front.
  const uint8_t mode = size ? data[0] : 0;
  std::vector<uint8_t> chunk;
  if (mode & 2)
    chunk = {0x74, 0x66, 0x66, 0x70, 0x00, 0x00, 0x01, 0x00};
  if (size > 1)
    chunk.insert(chunk.end(), data + 1, data + size);
  const int index = (mode & 1) ? 1 : 0;

  InProcessHost host;
  host.Create((mode & 4) ? "chunks" : "stereo");
  host.Dispatch(effOpen);
  const std::vector<uint8_t> bank = GetChunk(host, 0), program = GetChunk(host, 1);
  const VstIntPtr answer = host.Dispatch(effSetChunk, index, (VstIntPtr)chunk.size(),
                                         chunk.empty() ? nullptr : chunk.data());
  CheckParameters(host);
  if (answer == 0)
  {
    if (GetChunk(host, 0) != bank || GetChunk(host, 1) != program)
      abort();
  }
  else if (answer == 1)
  {
    // What was accepted reads back, and reading that back changes nothing more.
    const std::vector<uint8_t> again = GetChunk(host, index);
    if (host.Dispatch(effSetChunk, index, (VstIntPtr)again.size(), (void*)again.data()) != 1)
      abort();
    if (GetChunk(host, index) != again)
      abort();
    CheckParameters(host);
  }
  else
  {
    abort();
  }
  return 0;
}

#pragma once
// The program and bank file loaders with hostile bytes, on plug-ins with and without state chunks:
// a refused file changes nothing; after an accepted one every parameter is finite and in its range,
// and the plug-in's own file of what it now holds loads again (in the chunk form to the same bytes).

#include "tests/support/fx_test_plug.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>

inline bool FuzzLoad(TestPlug& plug, bool bank, const uint8_t* data, int size)
{
  return bank ? plug.SetBankFromFXB(data, size) : plug.SetProgramFromFXP(data, size);
}

inline std::vector<uint8_t> FuzzSave(TestPlug& plug, bool bank)
{
  ByteChunk c;
  if (!(bank ? plug.GetBankFXB(&c) : plug.GetProgramFXP(&c)))
    abort();
  return std::vector<uint8_t>(c.GetBytes(), c.GetBytes() + c.Size());
}

inline void FuzzFxLoader(const uint8_t* data, size_t size, bool bank)
{
  if (size > (1u << 20))
    return;
  for (bool chunks : {false, true})
  {
    auto plug = MakeFxTestPlug(chunks);
    plug->RestorePreset(1);
    const FxPlugState before(*plug);
    if (!FuzzLoad(*plug, bank, data, (int)size))
    {
      if (!(FxPlugState(*plug) == before))
        abort();
      continue;
    }
    for (int i = 0; i < plug->NParams(); ++i)
    {
      double lo, hi;
      plug->GetParam(i)->GetBounds(&lo, &hi);
      const double v = plug->GetParam(i)->Value();
      if (!std::isfinite(v) || v < lo || v > hi)
        abort();
    }
    const std::vector<uint8_t> own = FuzzSave(*plug, bank);
    if (!FuzzLoad(*plug, bank, own.data(), (int)own.size()))
      abort();
    if (chunks && FuzzSave(*plug, bank) != own)
      abort();
  }
}

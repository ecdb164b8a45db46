// Reads arbitrary state bytes the way a host-supplied chunk is read: values, strings and raw byte
// runs at positions that follow from earlier reads or are taken from the input itself.
#include "framework/base/ByteChunk.h"

#include <cstdint>
#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
  if (size > (1u << 20))
    return 0;
  ByteChunk chunk;
  if (size)
    chunk.PutBytes(data, (int)size);

  QvString str("seed");
  uint8_t raw[64];
  int pos = 0;
  // The first bytes double as the read program: each picks a read and sometimes a jump.
  for (size_t step = 0; step < size && step < 64; ++step)
  {
    const uint8_t op = data[step];
    if (pos < 0 || (op & 0x80))
    {
      int32_t jump = 0;
      if (chunk.Get(&jump, (int)(step % (size + 1))) < 0)
        jump = -(int)step;
      pos = jump;
    }
    switch (op % 5)
    {
      case 0:
      {
        int v;
        pos = chunk.Get(&v, pos);
        break;
      }
      case 1:
      {
        double v;
        pos = chunk.Get(&v, pos);
        break;
      }
      case 2:
      {
        bool v;
        pos = chunk.GetBool(&v, pos);
        break;
      }
      case 3:
        pos = chunk.GetStr(&str, pos);
        break;
      case 4:
        pos = chunk.GetBytes(raw, (op >> 3) % (int)sizeof(raw), pos);
        break;
    }
    if (pos > chunk.Size())
      __builtin_trap();  // a read must never answer a position beyond the chunk
  }
  (void)str.GetLength();
  chunk.PutChunk(&chunk);
  chunk.PutStr(str.Get());
  return 0;
}

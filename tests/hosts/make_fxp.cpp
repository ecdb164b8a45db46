// make_fxp OUT.fxp PROGRAM: the program file the framework saves for a factory program switched
// to notes (Step On Off on), made by the product itself, in-process.

#include <cstdio>
#include <cstdlib>

#include "tests/support/QuorvalentHost.h"

int main(int argc, char** argv)
{
  if (argc != 3)
  {
    std::fprintf(stderr, "usage: make_fxp OUT.fxp PROGRAM\n");
    return 2;
  }
  QuorvalentHost host(44100.0, 512);
  host.selectProgram(std::atoi(argv[2]));
  host.setParam(kStepMode, 1);
  if (!host.plug().SaveProgramToFXPFile(argv[1]))
  {
    std::fprintf(stderr, "make_fxp: cannot save %s\n", argv[1]);
    return 1;
  }
  return 0;
}

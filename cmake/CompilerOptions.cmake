# Flags shared by every target. The arithmetic order written in the code must hold on both targets:
# no fast-math and no floating-point contraction into fused multiply-adds.
add_compile_options(-Wall -Wextra -ffp-contract=off -fno-fast-math)
# The engine's sine kernels run on vectors of four doubles inlined into code built with and without
# AVX; every target is built by one compiler, so GCC's notes on how such vectors were passed in
# its older versions concern nothing here.
add_compile_options($<$<CXX_COMPILER_ID:GNU>:-Wno-psabi>)

if(WIN32)
  # One self-contained DLL and self-contained test programs: C/C++ runtime and winpthread static.
  add_compile_definitions(WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0601)
  add_link_options(-static -static-libgcc -static-libstdc++)
  # GCC keeps the Windows stack 16-byte aligned, also where it spills a 256-bit register with an
  # aligned move: the run-time chosen AVX2 code of the raster library needs every aligned vector
  # move assembled as an unaligned one (no cost on aligned data).
  add_compile_options(-Wa,-muse-unaligned-vector-move)
  # The test code (test programs, their helpers and test plug-ins) is compiled without
  # optimisation: it drives the libraries and the product DLL, which keep the release flags, and so
  # compiles in half the time (it is the larger part of this build). GoogleTest is built with -O1
  # (cmake/Dependencies.cmake): without optimisation its thousands of sections would slow every
  # test program's link fourfold.
  set(QV_TEST_CODE_OPTIONS -O0)
else()
  if(QV_SANITIZE)
    list(JOIN QV_SANITIZE "," _qv_san)
    add_compile_options(-fsanitize=${_qv_san} -fno-omit-frame-pointer -fno-sanitize-recover=all)
    add_link_options(-fsanitize=${_qv_san})
  endif()
  if("thread" IN_LIST QV_SANITIZE)
    # ThreadSanitizer runs want light optimisation and, for their reports, line tables only: half
    # the compile time of -O2 -g.
    add_compile_options(-O1 -g1)
  endif()
  if(QV_FUZZ)
    # Coverage for every library the fuzzers reach; the fuzz targets add libFuzzer's own main. The
    # usual fuzzing flags: light optimisation and line tables only, for the crash reports.
    add_compile_options(-fsanitize=fuzzer-no-link -O1 -gline-tables-only)
  endif()
endif()

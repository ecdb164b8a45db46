# Every dependency is installed, never vendored: Debian's packages natively, and for Windows the
# mingw builds that scripts/setup.sh makes from Debian's source packages.
find_package(Threads REQUIRED)

if(WIN32)
  list(APPEND CMAKE_PREFIX_PATH ${QV_MINGW_PREFIX})
  find_library(QV_PNG_LIB NAMES libpng16.a png16 PATHS ${QV_MINGW_PREFIX}/lib NO_DEFAULT_PATH REQUIRED)
  find_library(QV_Z_LIB NAMES libz.a z PATHS /usr/x86_64-w64-mingw32/lib NO_DEFAULT_PATH REQUIRED)
  add_library(qv_png INTERFACE)
  target_include_directories(qv_png SYSTEM INTERFACE ${QV_MINGW_PREFIX}/include)
  target_link_libraries(qv_png INTERFACE ${QV_PNG_LIB} ${QV_Z_LIB})

  # GoogleTest from Debian's source package, built with the project's own flags.
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  set(gtest_disable_pthreads OFF CACHE BOOL "" FORCE)
  # (the source tree defines the GTest:: aliases itself)
  add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)
  # Test code: light optimisation, half the compile time of the release flags (CompilerOptions.cmake).
  target_compile_options(gtest PRIVATE -O1)

  find_package(benchmark CONFIG REQUIRED PATHS ${QV_MINGW_PREFIX} NO_DEFAULT_PATH)
else()
  find_package(PNG REQUIRED)
  find_package(ZLIB REQUIRED)
  add_library(qv_png INTERFACE)
  target_link_libraries(qv_png INTERFACE PNG::PNG ZLIB::ZLIB)
  find_package(GTest REQUIRED)
  find_package(benchmark REQUIRED)
  # Anchors of comparison: pixman, libimagequant and Cairo for the raster benchmarks and coverage
  # tests, lodepng as the independent decoder of the PNG reference tests.
  find_package(PkgConfig REQUIRED)
  pkg_check_modules(PIXMAN REQUIRED IMPORTED_TARGET pixman-1)
  pkg_check_modules(IMAGEQUANT REQUIRED IMPORTED_TARGET imagequant)
  pkg_check_modules(CAIRO REQUIRED IMPORTED_TARGET cairo)
  find_library(QV_LODEPNG_LIB lodepng REQUIRED)
  find_path(QV_LODEPNG_INCLUDE lodepng.h REQUIRED)
endif()

# Raster core fuzzer: random sequences of blits, fills and gradients with extreme values.
qv_add_fuzzer(NAME raster_ops_fuzzer
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/raster_ops_fuzzer.cpp
  LIBS qv_raster)

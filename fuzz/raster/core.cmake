# Raster core fuzzer: random sequences of blits, fills and gradients with extreme values.
qv_add_fuzzer(NAME raster_ops_fuzzer
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/raster_ops_fuzzer.cpp
  LIBS qv_raster)
# Lines, shapes and curves on bitmaps with guard bands, with extreme values.
qv_add_fuzzer(NAME raster_shapes_fuzzer
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/shapes_fuzzer.cpp
  LIBS qv_raster)

# PNG decoding from memory, and the scaled and rotated blits with extreme parameters.
qv_add_fuzzer(NAME raster_png_fuzzer SOURCES ${CMAKE_CURRENT_LIST_DIR}/png_fuzzer.cpp LIBS qv_raster)
qv_add_fuzzer(NAME raster_scaled_fuzzer SOURCES ${CMAKE_CURRENT_LIST_DIR}/scaled_fuzzer.cpp
              LIBS qv_raster)

# Random bitmaps and palette sizes through the octree quantiser, with the HSV alterations and the
# texture generators.
qv_add_fuzzer(NAME raster_color_fuzzer SOURCES ${CMAKE_CURRENT_LIST_DIR}/color_fuzzer.cpp
              LIBS qv_raster)

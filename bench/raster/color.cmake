# Octree quantisation against libimagequant (natively), and the rectangle HSV alteration against a
# plain floating-point loop.
qv_add_benchmark(NAME raster_color_bench SOURCES ${CMAKE_CURRENT_LIST_DIR}/color_bench.cpp
                 LIBS qv_raster)
if(NOT WIN32)
  target_link_libraries(raster_color_bench PRIVATE PkgConfig::IMAGEQUANT)
  target_compile_definitions(raster_color_bench PRIVATE QV_HAVE_LIBIMAGEQUANT)
endif()

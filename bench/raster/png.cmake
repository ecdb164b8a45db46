# PNG decoding against plain libpng; scaled and rotated blits against pixman (natively).
qv_add_benchmark(NAME raster_png_bench SOURCES ${CMAKE_CURRENT_LIST_DIR}/png_bench.cpp
                 LIBS qv_raster qv_png)
qv_add_benchmark(NAME raster_scaled_bench SOURCES ${CMAKE_CURRENT_LIST_DIR}/scaled_bench.cpp
                 LIBS qv_raster)
if(NOT WIN32)
  target_link_libraries(raster_scaled_bench PRIVATE PkgConfig::PIXMAN)
  target_compile_definitions(raster_scaled_bench PRIVATE QV_HAVE_PIXMAN)
endif()

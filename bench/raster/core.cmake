# Raster core benchmarks, with pixman as the anchor natively.
qv_add_benchmark(NAME raster_core_bench
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/raster_core_bench.cpp
  LIBS qv_raster)
if(NOT WIN32)
  target_link_libraries(raster_core_bench PRIVATE PkgConfig::PIXMAN)
  target_compile_definitions(raster_core_bench PRIVATE QV_HAVE_PIXMAN=1)
endif()
# Lines, shapes and curves, with Cairo drawing the same work natively.
qv_add_benchmark(NAME raster_shapes_bench
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/shapes_bench.cpp
  LIBS qv_raster)
if(NOT WIN32)
  target_link_libraries(raster_shapes_bench PRIVATE PkgConfig::CAIRO)
  target_compile_definitions(raster_shapes_bench PRIVATE QV_HAVE_CAIRO=1)
endif()

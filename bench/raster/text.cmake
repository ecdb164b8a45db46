# Blur against a plain box blur and the 8x8 font; on Windows the cached font against GDI (run by
# hand under wine).
qv_add_benchmark(NAME raster_text_bench SOURCES ${CMAKE_CURRENT_LIST_DIR}/text_bench.cpp
                 LIBS qv_raster)
if(WIN32)
  qv_add_benchmark(NAME raster_cachedfont_bench
                   SOURCES ${CMAKE_CURRENT_LIST_DIR}/cachedfont_bench_win.cpp LIBS qv_raster)
endif()

# Blur, halving and comparison, the 8x8 font and the UTF-8 helpers (both targets).
qv_add_test(NAME raster_text_tests
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/test_px_blur_halve_cmp.cpp
    ${CMAKE_CURRENT_LIST_DIR}/test_px_text.cpp
    ${CMAKE_CURRENT_LIST_DIR}/test_px_utf8.cpp
  LIBS qv_raster)
if(WIN32)
  # The cached font with GDI glyphs, against GDI's own drawing.
  qv_add_test(NAME raster_cachedfont_win_tests
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_px_textnew_win.cpp
    LIBS qv_raster)
else()
  # The cached font over synthetic glyphs; several threads share one font.
  qv_add_test(NAME raster_cachedfont_tests TSAN
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_px_textnew.cpp
    LIBS qv_raster)
endif()

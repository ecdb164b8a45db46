# Blur, halving and comparison, the 8x8 font and the UTF-8 helpers (both targets).
qv_add_test(NAME raster_text_tests
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/test_px_blur_halve_cmp.cpp
    ${CMAKE_CURRENT_LIST_DIR}/test_px_text.cpp
  LIBS qv_raster)

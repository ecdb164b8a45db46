# Raster core tests.
qv_add_test(NAME raster_core_tests
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/test_lice_combine.cpp
    ${CMAKE_CURRENT_LIST_DIR}/test_lice_bitmap.cpp
    ${CMAKE_CURRENT_LIST_DIR}/test_lice_blit.cpp
    ${CMAKE_CURRENT_LIST_DIR}/test_lice_fill.cpp
    ${CMAKE_CURRENT_LIST_DIR}/test_lice_geometry.cpp
  LIBS qv_raster)
if(WIN32)
  qv_add_test(NAME raster_sysbitmap_win_tests
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_lice_sysbitmap_win.cpp
    LIBS qv_raster)
endif()

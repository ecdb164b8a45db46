# Raster core tests.
qv_add_test(NAME raster_core_tests
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/test_px_combine.cpp
    ${CMAKE_CURRENT_LIST_DIR}/test_px_bitmap.cpp
    ${CMAKE_CURRENT_LIST_DIR}/test_px_blit.cpp
    ${CMAKE_CURRENT_LIST_DIR}/test_px_fill.cpp
    ${CMAKE_CURRENT_LIST_DIR}/test_px_geometry.cpp
  LIBS qv_raster)
if(WIN32)
  qv_add_test(NAME raster_sysbitmap_win_tests
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_px_sysbitmap_win.cpp
    LIBS qv_raster)
endif()
# Lines, shapes and curves, compared with Cairo's coverage natively.
qv_add_test(NAME raster_shape_tests
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/test_px_line.cpp
    ${CMAKE_CURRENT_LIST_DIR}/test_px_polygon.cpp
    ${CMAKE_CURRENT_LIST_DIR}/test_px_circle.cpp
    ${CMAKE_CURRENT_LIST_DIR}/test_px_bezier.cpp
  LIBS qv_raster)
if(NOT WIN32)
  target_link_libraries(raster_shape_tests PRIVATE PkgConfig::CAIRO)
  target_compile_definitions(raster_shape_tests PRIVATE QV_HAVE_CAIRO=1)
endif()

# Colour spaces, the octree palette and the texture generators.
qv_add_test(NAME raster_color_tests
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/test_px_colorspace.cpp
    ${CMAKE_CURRENT_LIST_DIR}/test_px_palette.cpp
    ${CMAKE_CURRENT_LIST_DIR}/test_px_texgen.cpp
  LIBS qv_raster)

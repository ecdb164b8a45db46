# Colour spaces, the octree palette and the texture generators.
target_sources(qv_raster PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/px_colorspace.cpp
  ${CMAKE_CURRENT_LIST_DIR}/px_palette.cpp
  ${CMAKE_CURRENT_LIST_DIR}/px_texgen.cpp
)

# Raster core: pixel combiners, bitmaps, blit and fill templates, copy, blits, fills and pixel access.
add_library(qv_raster STATIC
  ${CMAKE_CURRENT_LIST_DIR}/px_combine.cpp
  ${CMAKE_CURRENT_LIST_DIR}/px_membitmap.cpp
  ${CMAKE_CURRENT_LIST_DIR}/px_sysbitmap.cpp
  ${CMAKE_CURRENT_LIST_DIR}/px_blit.cpp
  ${CMAKE_CURRENT_LIST_DIR}/px_deltablit.cpp
  ${CMAKE_CURRENT_LIST_DIR}/px_fill.cpp
  ${CMAKE_CURRENT_LIST_DIR}/px_pixel.cpp
)
if(WIN32)
  target_sources(qv_raster PRIVATE ${CMAKE_CURRENT_LIST_DIR}/px_sysbitmap_win.cpp)
  target_link_libraries(qv_raster PUBLIC gdi32 user32)
else()
  target_sources(qv_raster PRIVATE ${CMAKE_CURRENT_LIST_DIR}/px_sysbitmap_mem.cpp)
endif()
target_link_libraries(qv_raster PUBLIC qv_png)
qv_include_root(qv_raster PUBLIC raster)

# Lines, shapes and curves: clipping, lines and rectangle outlines, polygon fills, Bezier curves,
# circles, arcs and rounded rectangles.
target_sources(qv_raster PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/px_line_clip.cpp
  ${CMAKE_CURRENT_LIST_DIR}/px_line.cpp
  ${CMAKE_CURRENT_LIST_DIR}/px_polygon.cpp
  ${CMAKE_CURRENT_LIST_DIR}/px_bezier.cpp
  ${CMAKE_CURRENT_LIST_DIR}/px_circle.cpp
  ${CMAKE_CURRENT_LIST_DIR}/px_arc.cpp
)

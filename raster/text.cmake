# Text on bitmaps: blur, half-size reduction and comparison; the built-in 8x8 font; the cached
# system-font text with its UTF-8 helpers (GDI on Windows, a glyph rasteriser interface elsewhere).
target_sources(qv_raster PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/px_blur_halve_cmp.cpp
  ${CMAKE_CURRENT_LIST_DIR}/px_deffont.cpp
  ${CMAKE_CURRENT_LIST_DIR}/px_text.cpp
  ${CMAKE_CURRENT_LIST_DIR}/px_utf8.cpp
  ${CMAKE_CURRENT_LIST_DIR}/px_textnew.cpp
)
if(WIN32)
  target_sources(qv_raster PRIVATE ${CMAKE_CURRENT_LIST_DIR}/px_textnew_win.cpp)
  target_link_libraries(qv_raster PUBLIC advapi32)
else()
  target_sources(qv_raster PRIVATE ${CMAKE_CURRENT_LIST_DIR}/px_textnew_native.cpp)
endif()
# The text lock and the glyph store's buffer.
target_link_libraries(qv_raster PUBLIC qv_base)

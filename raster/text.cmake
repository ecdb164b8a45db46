# Text on bitmaps: blur, half-size reduction and comparison; the built-in 8x8 font.
target_sources(qv_raster PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/px_blur_halve_cmp.cpp
  ${CMAKE_CURRENT_LIST_DIR}/px_deffont.cpp
  ${CMAKE_CURRENT_LIST_DIR}/px_text.cpp
)

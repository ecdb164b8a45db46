# Text on bitmaps: blur, half-size reduction and comparison.
target_sources(qv_raster PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/px_blur_halve_cmp.cpp
)

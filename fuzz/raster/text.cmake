# Text on bitmaps: the cached font over glyphs the input makes up, the 8x8 font, blur, halving and
# comparison (natively: the cached font's glyph source there is an interface).
qv_add_fuzzer(NAME raster_text_fuzzer SOURCES ${CMAKE_CURRENT_LIST_DIR}/text_fuzzer.cpp
              LIBS qv_raster)

# PNG loading, the image-loader list, PNG resources, and the scaled and rotated blits.
set(_png_test_dir ${CMAKE_CURRENT_LIST_DIR})
set(_png_test_data ${PROJECT_SOURCE_DIR}/tests/data/png)

if(WIN32)
  # The test program's own module carries the PNG resources.
  set(_png_resources ${_png_test_dir}/png_resources.rc)
  set_source_files_properties(${_png_resources} PROPERTIES OBJECT_DEPENDS
    "${_png_test_data}/rgba_32x16.png;${_png_test_data}/corrupt_idat.png;${_png_test_data}/tiny.bin")
endif()
qv_add_test(NAME raster_png_tests
  SOURCES ${_png_test_dir}/png_decode_test.cpp
          ${_png_test_dir}/png_loader_list_test.cpp
          ${_png_test_dir}/png_resource_test.cpp
          ${_png_resources}
  INCLUDES ${_png_test_data}
  LIBS qv_raster)
qv_add_linked_resources(raster_png_tests PNG
  101 ${_png_test_data}/rgba_32x16.png
  102 ${_png_test_data}/corrupt_idat.png
  103 ${_png_test_data}/tiny.bin)

# Every sample decoded as an independent decoder (lodepng, natively) decodes it.
if(NOT WIN32)
  qv_add_test(NAME raster_png_reference_tests
    SOURCES ${_png_test_dir}/png_reference_test.cpp
    LIBS qv_raster ${QV_LODEPNG_LIB})
  target_include_directories(raster_png_reference_tests SYSTEM PRIVATE ${QV_LODEPNG_INCLUDE})
endif()

qv_add_test(NAME raster_scaled_tests
  SOURCES ${_png_test_dir}/scaled_blit_test.cpp
          ${_png_test_dir}/scaled_kernels_test.cpp
  LIBS qv_raster)

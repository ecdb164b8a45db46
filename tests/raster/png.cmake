# PNG loading, the image-loader list, PNG resources, and the scaled and rotated blits.
set(_png_test_dir ${CMAKE_CURRENT_LIST_DIR})

qv_add_test(NAME raster_png_tests
  SOURCES ${_png_test_dir}/png_decode_test.cpp
          ${_png_test_dir}/png_loader_list_test.cpp
          ${_png_test_dir}/png_resource_test.cpp
  LIBS qv_raster)

if(TARGET raster_png_tests)
  if(WIN32)
    # The test program's own module carries the PNG resources.
    target_sources(raster_png_tests PRIVATE ${_png_test_dir}/png_resources.rc)
    set_source_files_properties(${_png_test_dir}/png_resources.rc PROPERTIES
      OBJECT_DEPENDS "${PROJECT_SOURCE_DIR}/tests/data/png/rgba_32x16.png;${PROJECT_SOURCE_DIR}/tests/data/png/corrupt_idat.png;${PROJECT_SOURCE_DIR}/tests/data/png/tiny.bin")
    target_include_directories(raster_png_tests PRIVATE ${PROJECT_SOURCE_DIR}/tests/data/png)
  else()
    qv_add_linked_resources(raster_png_tests PNG
      101 ${PROJECT_SOURCE_DIR}/tests/data/png/rgba_32x16.png
      102 ${PROJECT_SOURCE_DIR}/tests/data/png/corrupt_idat.png
      103 ${PROJECT_SOURCE_DIR}/tests/data/png/tiny.bin)
  endif()
endif()

if(NOT WIN32 AND QV_LODEPNG_LIB AND QV_LODEPNG_INCLUDE)
  qv_add_test(NAME raster_png_reference_tests
    SOURCES ${_png_test_dir}/png_reference_test.cpp
    LIBS qv_raster ${QV_LODEPNG_LIB})
  if(TARGET raster_png_reference_tests)
    target_include_directories(raster_png_reference_tests SYSTEM PRIVATE ${QV_LODEPNG_INCLUDE})
  endif()
endif()

qv_add_test(NAME raster_scaled_tests
  SOURCES ${_png_test_dir}/scaled_blit_test.cpp
          ${_png_test_dir}/scaled_kernels_test.cpp
  LIBS qv_raster)

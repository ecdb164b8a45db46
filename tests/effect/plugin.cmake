# The plug-in class's tests: the plug-in is compiled into each test program (entry point included)
# and driven through an in-process host with a scripted transport.
add_library(qv_quorvalent_testhost STATIC
  ${CMAKE_CURRENT_LIST_DIR}/QuorvalentHost.cpp
  ${QV_VST_ENTRY_DIR}/VSTEntry.cpp)
target_include_directories(qv_quorvalent_testhost PUBLIC ${PROJECT_SOURCE_DIR}/tests)
target_link_libraries(qv_quorvalent_testhost PUBLIC qv_quorvalent qv_vsthost)

qv_add_test(NAME quorvalent_tests
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/quorvalent_sequencer_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/StepTimingTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/quorvalent_host_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/quorvalent_render_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/quorvalent_editor_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/quorvalent_fxfiles_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/quorvalent_state_test.cpp
  LIBS qv_quorvalent_testhost qv_png_writer)
if(WIN32)
  # The editor test reads every bitmap resource from the plug-in library itself.
  add_dependencies(quorvalent_tests Quorvalent)
  target_compile_definitions(quorvalent_tests PRIVATE QV_QUORVALENT_DLL="Z:$<TARGET_FILE:Quorvalent>")
endif()

# Replaces the global operator new: a program of its own.
qv_add_test(NAME quorvalent_alloc_tests
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/quorvalent_alloc_test.cpp
  LIBS qv_quorvalent_testhost)

qv_add_test(NAME quorvalent_thread_tests TSAN
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/quorvalent_editor_threads_test.cpp
          ${CMAKE_CURRENT_LIST_DIR}/quorvalent_threads_test.cpp
  LIBS qv_quorvalent_testhost)

# On Windows: the plug-in library's editor in real windows, driven through the test host.
if(WIN32)
  qv_add_test(NAME quorvalent_window_tests
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/quorvalent_window_test_win.cpp
    LIBS qv_vsthost qv_png_writer
    DEPENDS Quorvalent
    DEFINITIONS QV_QUORVALENT_DLL="Z:$<TARGET_FILE:Quorvalent>")
  set_tests_properties(quorvalent_window_tests PROPERTIES RESOURCE_LOCK wine_display_focus)
endif()

# Natively (Debian's python3-cairo draws them): the checked-in bitmaps of the editor are what
# resources/make_artwork.py draws.
if(NOT WIN32 AND NOT QV_FUZZ AND NOT QV_TSAN)
  find_program(QV_PYTHON3 python3 REQUIRED)
  add_test(NAME resources_match_artwork_script
           COMMAND ${CMAKE_COMMAND} -DSCRIPT=${PROJECT_SOURCE_DIR}/resources/make_artwork.py
                   -DOUT=${CMAKE_CURRENT_BINARY_DIR}/artwork "-DPNGS=${QV_EDITOR_PNGS}"
                   -P ${PROJECT_SOURCE_DIR}/resources/CheckArtwork.cmake)
endif()

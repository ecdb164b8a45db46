# The plug-in's cost per frame, through the test host (and the stereo gate of lsp-plugins beside it
# where it is installed).
if(TARGET Quorvalent AND TARGET qv_vsthost)
  qv_add_benchmark(NAME quorvalent_bench SOURCES ${CMAKE_CURRENT_LIST_DIR}/quorvalent_bench.cpp
                   LIBS qv_vsthost)
  if(TARGET quorvalent_bench)
    add_dependencies(quorvalent_bench Quorvalent)
    target_compile_definitions(quorvalent_bench PRIVATE
                               QV_QUORVALENT_PATH="$<TARGET_FILE:Quorvalent>")
  endif()
endif()

# The editor's drawing and building costs, in-process on the headless surface.
if(TARGET qv_quorvalent)
  qv_add_benchmark(NAME editor_bench SOURCES ${CMAKE_CURRENT_LIST_DIR}/editor_bench.cpp
                   LIBS qv_quorvalent)
endif()

# The plug-in's cost per frame, through the test host (and the stereo gate of lsp-plugins beside it
# where it is installed).
qv_add_benchmark(NAME quorvalent_bench SOURCES ${CMAKE_CURRENT_LIST_DIR}/quorvalent_bench.cpp
                 LIBS qv_vsthost DEPENDS Quorvalent
                 DEFINITIONS QV_QUORVALENT_PATH="$<TARGET_FILE:Quorvalent>")
# Host parameter and program changes (the stereo gate's setParameter beside them where installed).
qv_add_benchmark(NAME quorvalent_host_calls_bench SOURCES ${CMAKE_CURRENT_LIST_DIR}/host_calls_bench.cpp
                 LIBS qv_vsthost DEPENDS Quorvalent
                 DEFINITIONS QV_QUORVALENT_PATH="$<TARGET_FILE:Quorvalent>")
# The longest wait of the audio thread while the host hands the plug-in its state.
qv_add_benchmark(NAME quorvalent_state_bench SOURCES ${CMAKE_CURRENT_LIST_DIR}/state_bench.cpp
                 LIBS qv_vsthost DEPENDS Quorvalent
                 DEFINITIONS QV_QUORVALENT_PATH="$<TARGET_FILE:Quorvalent>")

# The editor's drawing and building costs, in-process on the headless surface.
qv_add_benchmark(NAME editor_bench SOURCES ${CMAKE_CURRENT_LIST_DIR}/editor_bench.cpp
                 LIBS qv_quorvalent)

# The plug-in instance base's tests. qv_test_surface is an editor surface that records what the
# plug-in pushes into it.
add_library(qv_test_surface STATIC ${CMAKE_CURRENT_LIST_DIR}/plugin_test_surface.cpp)
target_include_directories(qv_test_surface PUBLIC ${PROJECT_SOURCE_DIR}/tests)
target_link_libraries(qv_test_surface PUBLIC qv_plugin qv_gui)

qv_add_test(NAME pluginbase_tests
            SOURCES ${CMAKE_CURRENT_LIST_DIR}/pluginbase_base_test.cpp
                    ${CMAKE_CURRENT_LIST_DIR}/pluginbase_channels_test.cpp
                    ${CMAKE_CURRENT_LIST_DIR}/pluginbase_presets_test.cpp
                    ${CMAKE_CURRENT_LIST_DIR}/pluginbase_state_test.cpp
                    ${CMAKE_CURRENT_LIST_DIR}/fxfiles_test.cpp
                    ${CMAKE_CURRENT_LIST_DIR}/preset_dumps_test.cpp
            LIBS qv_plugin qv_test_surface)

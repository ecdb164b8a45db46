# The plug-in instance base: library `qv_plugin` (links `qv_framework` publicly).
#
# PluginBase with its channel records and buffers, programs and banks, state serialisation, host
# identification and versions. A plug-in API binding derives from PluginBase and links qv_plugin
# (add the binding's sources to a library of its own that links qv_plugin).
#
# PluginBase owns the editor surface (gui/IGraphics.h) and pushes values into it; the GUI library
# `qv_gui` links qv_plugin and qv_plugin links it back (gui/CMakeLists.txt).
set(QV_PLUGIN_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/PluginBase.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Channels.cpp
  ${CMAKE_CURRENT_LIST_DIR}/NChanDelayLine.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Presets.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Serialize.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Hosts.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Versions.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Base64.cpp
  ${CMAKE_CURRENT_LIST_DIR}/FxFiles.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ProgramFiles.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ProgramFileDialogs.cpp
  ${CMAKE_CURRENT_LIST_DIR}/PresetDumps.cpp)

add_library(qv_plugin STATIC ${QV_PLUGIN_SOURCES})
target_link_libraries(qv_plugin PUBLIC qv_framework)

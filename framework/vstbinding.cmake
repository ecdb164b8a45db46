# The VST 2.4 binding: library `qv_vstbinding` (PluginVST over qv_plugin) and the function
# `qv_add_vst_plugin`, which builds a plug-in library around it.
#
# A plug-in defines `MakePlugInstance` (framework/PluginVST.h). The entry files are compiled into each
# plug-in library, not into qv_vstbinding: the exported entries and DllMain must be in the module.

set(_qv_vstbinding_sources ${CMAKE_CURRENT_LIST_DIR}/PluginVST.cpp)
if(WIN32)
  list(APPEND _qv_vstbinding_sources ${CMAKE_CURRENT_LIST_DIR}/VSTEntryModule_win.cpp)
endif()
add_library(qv_vstbinding STATIC ${_qv_vstbinding_sources})
target_link_libraries(qv_vstbinding PUBLIC qv_plugin qv_vst_abi)

# Where the entry files lie, for plug-in libraries and for programs that create instances
# in-process (they compile VSTEntry.cpp themselves).
set(QV_VST_ENTRY_DIR ${CMAKE_CURRENT_LIST_DIR} CACHE INTERNAL "")

# qv_add_vst_plugin(NAME <target> SOURCES <files...> [LIBS <targets...>])
# A loadable plug-in: a DLL without "lib" prefix on Windows, a .so natively, in the calling folder's
# build directory. It exports exactly VSTPluginMain and main. The product and the test plug-ins are
# all built here.
function(qv_add_vst_plugin)
  cmake_parse_arguments(P "" "NAME" "SOURCES;LIBS" ${ARGN})
  add_library(${P_NAME} MODULE ${P_SOURCES} ${QV_VST_ENTRY_DIR}/VSTEntry.cpp)
  target_link_libraries(${P_NAME} PRIVATE qv_vstbinding ${P_LIBS})
  set_target_properties(${P_NAME} PROPERTIES PREFIX "")
  if(WIN32)
    target_sources(${P_NAME} PRIVATE ${QV_VST_ENTRY_DIR}/VSTEntryDll_win.cpp
                                     ${QV_VST_ENTRY_DIR}/VSTEntry.def)
  else()
    target_sources(${P_NAME} PRIVATE ${QV_VST_ENTRY_DIR}/VSTEntryMain.c)
    set_target_properties(${P_NAME} PROPERTIES C_VISIBILITY_PRESET hidden
                                               CXX_VISIBILITY_PRESET hidden
                                               VISIBILITY_INLINES_HIDDEN ON)
    target_link_options(${P_NAME} PRIVATE
      -Wl,--version-script=${QV_VST_ENTRY_DIR}/VSTEntry.map -Wl,--no-undefined)
    set_property(TARGET ${P_NAME} APPEND PROPERTY LINK_DEPENDS ${QV_VST_ENTRY_DIR}/VSTEntry.map)
  endif()
endfunction()

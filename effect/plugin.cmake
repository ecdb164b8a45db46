# The product: the plug-in class Quorvalent (library `qv_quorvalent`) and the plug-in library
# `Quorvalent` (Quorvalent.dll on Windows, Quorvalent.so natively), exporting exactly VSTPluginMain
# and main.
if(TARGET qv_effect_dsp AND TARGET qv_vstbinding)
  add_library(qv_quorvalent STATIC
    ${CMAKE_CURRENT_LIST_DIR}/ParameterTable.cpp
    ${CMAKE_CURRENT_LIST_DIR}/FactoryPresets.cpp
    ${CMAKE_CURRENT_LIST_DIR}/PresetDump.cpp
    ${CMAKE_CURRENT_LIST_DIR}/Quorvalent.cpp
    ${CMAKE_CURRENT_LIST_DIR}/QuorvalentParameters.cpp
    ${CMAKE_CURRENT_LIST_DIR}/QuorvalentProcessing.cpp
    ${CMAKE_CURRENT_LIST_DIR}/QuorvalentEditor.cpp
    ${CMAKE_CURRENT_LIST_DIR}/QuorvalentEntry.cpp)
  target_link_libraries(qv_quorvalent PUBLIC qv_effect_dsp qv_vstbinding)
  # Nothing here is exported from the plug-in library, so calls within it may be inlined; in
  # release builds the per-sample calls into the DSP blocks are inlined at link time as well.
  set_target_properties(qv_quorvalent PROPERTIES CXX_VISIBILITY_PRESET hidden
                                                 VISIBILITY_INLINES_HIDDEN ON)
  include(CheckIPOSupported)
  check_ipo_supported(RESULT _qv_ipo LANGUAGES CXX)
  if(_qv_ipo)
    set_property(TARGET qv_quorvalent qv_effect_dsp PROPERTY INTERPROCEDURAL_OPTIMIZATION_RELEASE ON)
  endif()
  # The editor draws through the GUI library (gui/); its bitmaps come from resources/.
  target_link_libraries(qv_quorvalent PUBLIC qv_gui)

  # The loadable library, built like every plug-in on the binding (framework/vstbinding.cmake), as
  # a shared library.
  add_library(Quorvalent SHARED ${QV_VST_ENTRY_DIR}/VSTEntry.cpp)
  target_link_libraries(Quorvalent PRIVATE qv_quorvalent)
  set_target_properties(Quorvalent PROPERTIES OUTPUT_NAME Quorvalent PREFIX "")
  if(_qv_ipo)
    set_property(TARGET Quorvalent PROPERTY INTERPROCEDURAL_OPTIMIZATION_RELEASE ON)
  endif()
  if(WIN32)
    target_sources(Quorvalent PRIVATE ${QV_VST_ENTRY_DIR}/VSTEntryDll_win.cpp
                                      ${QV_VST_ENTRY_DIR}/VSTEntry.def)
  else()
    target_sources(Quorvalent PRIVATE ${QV_VST_ENTRY_DIR}/VSTEntryMain.c)
    set_target_properties(Quorvalent PROPERTIES C_VISIBILITY_PRESET hidden
                                                CXX_VISIBILITY_PRESET hidden
                                                VISIBILITY_INLINES_HIDDEN ON)
    target_link_options(Quorvalent PRIVATE
      -Wl,--version-script=${QV_VST_ENTRY_DIR}/VSTEntry.map -Wl,--no-undefined)
    set_property(TARGET Quorvalent APPEND PROPERTY LINK_DEPENDS ${QV_VST_ENTRY_DIR}/VSTEntry.map)
  endif()
endif()

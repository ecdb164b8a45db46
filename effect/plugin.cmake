# The product: the plug-in class Quorvalent (library `qv_quorvalent`) and the plug-in library
# `Quorvalent` (Quorvalent.dll on Windows, Quorvalent.so natively), exporting exactly VSTPluginMain
# and main.
add_library(qv_quorvalent STATIC
  ${CMAKE_CURRENT_LIST_DIR}/ParameterTable.cpp
  ${CMAKE_CURRENT_LIST_DIR}/FactoryPresets.cpp
  ${CMAKE_CURRENT_LIST_DIR}/PresetDump.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Quorvalent.cpp
  ${CMAKE_CURRENT_LIST_DIR}/QuorvalentParameters.cpp
  ${CMAKE_CURRENT_LIST_DIR}/QuorvalentProcessing.cpp
  ${CMAKE_CURRENT_LIST_DIR}/QuorvalentEditor.cpp
  ${CMAKE_CURRENT_LIST_DIR}/QuorvalentEntry.cpp
  ${CMAKE_CURRENT_LIST_DIR}/StepTiming.cpp)
target_link_libraries(qv_quorvalent PUBLIC qv_effect_dsp qv_vstbinding)
# The engine's output depends on the rounding of every operation: its sources must be compiled
# without contraction into fused multiply-adds (the flag comes from CompilerOptions.cmake; the
# exact-render test checks the result).
foreach(_qv_engine qv_effect_dsp qv_quorvalent)
  get_target_property(_qv_options ${_qv_engine} COMPILE_OPTIONS)
  if(NOT "-ffp-contract=off" IN_LIST _qv_options)
    message(FATAL_ERROR "${_qv_engine} is not compiled with -ffp-contract=off")
  endif()
endforeach()
# Nothing here is exported from the plug-in library, so calls within it may be inlined; in
# release builds the per-sample calls into the DSP blocks are inlined at link time as well.
set_target_properties(qv_quorvalent PROPERTIES CXX_VISIBILITY_PRESET hidden
                                               VISIBILITY_INLINES_HIDDEN ON)
include(CheckIPOSupported)
check_ipo_supported(RESULT _qv_ipo LANGUAGES CXX)
if(_qv_ipo)
  set_property(TARGET qv_quorvalent qv_effect_dsp PROPERTY INTERPROCEDURAL_OPTIMIZATION_RELEASE ON)
endif()
# The editor draws through the GUI library (gui/); its bitmaps come from resources/, by the ids
# resource.h gives them.
target_link_libraries(qv_quorvalent PUBLIC qv_gui)
qv_include_root(qv_quorvalent PUBLIC resources/resource.h)

# The loadable library, built like every plug-in on the binding (framework/vstbinding.cmake).
qv_add_vst_plugin(NAME Quorvalent LIBS qv_quorvalent)
if(_qv_ipo)
  set_property(TARGET Quorvalent PROPERTY INTERPROCEDURAL_OPTIMIZATION_RELEASE ON)
endif()

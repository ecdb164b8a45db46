# Each subsystem compiles against the folders it may use and no others (cmake/IncludeRoots.cmake):
# a header is compiled alone with a library's include directories, and must be found (PASS) or
# not found at all (MISSING).
if(WIN32 OR QV_FUZZ OR QV_TSAN)
  return()
endif()
set(_qv_include_rows
  "qv_plugin framework/vst/PluginVST.h PASS"
  "qv_plugin gui/IGraphics.h PASS"
  "qv_plugin gui/IControl.h MISSING"
  "qv_plugin effect/Quorvalent.h MISSING"
  "qv_plugin raster/px.h MISSING"
  "qv_plugin tools/vsthost/vst_host.h MISSING"
  "qv_effect_dsp effect/dsp/Filter.h PASS"
  "qv_effect_dsp raster/px.h MISSING"
  "qv_effect_dsp gui/IGraphics.h MISSING"
  "qv_effect_dsp framework/PluginBase.h MISSING"
  "qv_effect_dsp framework/vst/PluginVST.h MISSING"
  "qv_raster raster/px.h PASS"
  "qv_raster gui/IControl.h MISSING"
  "qv_raster effect/dsp/Filter.h MISSING"
  "qv_raster gui/IGraphics.h MISSING"
  "qv_raster framework/PluginBase.h MISSING"
  "qv_raster framework/vst/PluginVST.h MISSING"
  "qv_gui gui/IControl.h PASS"
  "qv_gui effect/Quorvalent.h MISSING"
  "qv_vsthost tools/vsthost/vst_host.h PASS"
  "qv_vsthost framework/PluginBase.h MISSING")
foreach(row ${_qv_include_rows})
  separate_arguments(row)
  list(GET row 0 target)
  list(GET row 1 header)
  list(GET row 2 expect)
  string(MAKE_C_IDENTIFIER "${target}_sees_${header}" name)
  add_test(NAME include_roots_${name}
           COMMAND ${CMAKE_CXX_COMPILER} -std=c++17 -fsyntax-only
                   "-I$<JOIN:$<TARGET_PROPERTY:${target},INCLUDE_DIRECTORIES>,;-I>"
                   -include ${header} -x c++ /dev/null
           COMMAND_EXPAND_LISTS)
  if(expect STREQUAL "MISSING")
    set_tests_properties(include_roots_${name} PROPERTIES
      PASS_REGULAR_EXPRESSION "${header}: No such file or directory")
  endif()
endforeach()

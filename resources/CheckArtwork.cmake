# The checked-in bitmaps are what make_artwork.py draws: cmake -DSCRIPT=... -DOUT=... -DPNGS=a;b -P.
execute_process(COMMAND ${SCRIPT} ${OUT} RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "make_artwork.py failed")
endif()
foreach(png ${PNGS})
  get_filename_component(name "${png}" NAME)
  execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files "${png}" "${OUT}/${name}"
                  RESULT_VARIABLE differs)
  if(differs)
    message(SEND_ERROR "${name} differs from what make_artwork.py draws; run it and check in")
  endif()
endforeach()

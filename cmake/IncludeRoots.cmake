# Include roots per target.
#
# Sources include each other from the repository root ("framework/IParam.h", "raster/px.h"), yet
# each subsystem may see only the folders it builds on. So the repository root is no include
# directory: a target gets a folder of its own in the build tree holding links to just the folders
# (or single headers) it may use, spelled as from the root, and that folder is its include
# directory. A header added to a linked folder needs no change here.
#
# qv_include_root(<target> <PUBLIC|INTERFACE|PRIVATE> <path>...)
#   path: a folder or file relative to the repository root, e.g. framework or gui/IGraphics.h. A path
#   that does not exist fails the configure.
function(qv_include_root target scope)
  set(root ${CMAKE_BINARY_DIR}/include/${target})
  # Made anew at each configure: links left by an earlier layout could shadow the new ones. The
  # removal takes the links, never what they point to.
  get_property(made GLOBAL PROPERTY QV_INCLUDE_ROOT_${target})
  if(NOT made)
    file(REMOVE_RECURSE ${root})
    set_property(GLOBAL PROPERTY QV_INCLUDE_ROOT_${target} TRUE)
  endif()
  foreach(path ${ARGN})
    set(source ${PROJECT_SOURCE_DIR}/${path})
    if(NOT EXISTS ${source})
      message(FATAL_ERROR "qv_include_root(${target}): ${path} does not exist")
    endif()
    get_filename_component(parent ${root}/${path} DIRECTORY)
    file(MAKE_DIRECTORY ${parent})
    file(CREATE_LINK ${source} ${root}/${path} SYMBOLIC)
  endforeach()
  target_include_directories(${target} ${scope} ${root})
endfunction()

# Adds every direct subfolder of the current folder that has a CMakeLists.txt, so that each
# part of the program can own its own tests, benchmarks or fuzz targets without editing a
# shared list. Folders named in TAVIRON_SKIP_SUBDIRS are left out (handy while one of them is
# being written).
function(taviron_add_subfolders)
  file(GLOB children LIST_DIRECTORIES true RELATIVE ${CMAKE_CURRENT_SOURCE_DIR} ${CMAKE_CURRENT_SOURCE_DIR}/*)
  list(SORT children)
  foreach(child ${children})
    if(child IN_LIST TAVIRON_SKIP_SUBDIRS)
      continue()
    endif()
    if(IS_DIRECTORY ${CMAKE_CURRENT_SOURCE_DIR}/${child} AND EXISTS ${CMAKE_CURRENT_SOURCE_DIR}/${child}/CMakeLists.txt)
      add_subdirectory(${child})
    endif()
  endforeach()
endfunction()

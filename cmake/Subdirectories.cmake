# vut_add_own_subdirectories(): adds every folder beside the calling
# CMakeLists.txt that has a CMakeLists.txt of its own, so that a new library
# or test folder needs no edit of its parent.
function(vut_add_own_subdirectories)
  file(GLOB dirs LIST_DIRECTORIES true ${CMAKE_CURRENT_SOURCE_DIR}/*)
  foreach(dir IN LISTS dirs)
    if(EXISTS ${dir}/CMakeLists.txt)
      add_subdirectory(${dir})
    endif()
  endforeach()
endfunction()

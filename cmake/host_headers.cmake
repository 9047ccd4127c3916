# For a cross build: a header-only library of the build machine as an interface target whose
# include folder holds only a link to that library's headers, so that the target's compiler never
# meets the build machine's other headers in /usr/include.
function(scengen_host_headers target folder)
  set(root ${CMAKE_BINARY_DIR}/host-headers/${folder})
  if(NOT EXISTS /usr/include/${folder})
    message(FATAL_ERROR "/usr/include/${folder} is missing: run tools/setup")
  endif()
  file(MAKE_DIRECTORY ${root})
  file(CREATE_LINK /usr/include/${folder} ${root}/${folder} SYMBOLIC)
  add_library(${target} INTERFACE IMPORTED)
  set_target_properties(${target} PROPERTIES INTERFACE_INCLUDE_DIRECTORIES ${root})
endfunction()

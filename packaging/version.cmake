# `scengen --version` names the commit the program was built from, when it is built from git:
# "1.0.0 (commit abc1234)", else "1.0.0". Only cli/command_line.cpp reads it, so a new commit
# recompiles that one file.
set(SCENGEN_VERSION_TEXT "${PROJECT_VERSION}")
find_package(Git QUIET)
if(GIT_FOUND)
  execute_process(COMMAND ${GIT_EXECUTABLE} rev-parse --short HEAD
                  WORKING_DIRECTORY ${PROJECT_SOURCE_DIR}
                  OUTPUT_VARIABLE scengen_commit OUTPUT_STRIP_TRAILING_WHITESPACE
                  RESULT_VARIABLE scengen_git_status ERROR_QUIET)
  if(scengen_git_status EQUAL 0 AND scengen_commit)
    set(SCENGEN_VERSION_TEXT "${PROJECT_VERSION} (commit ${scengen_commit})")
    # Configure again when HEAD moves (a commit, a checkout), so the text follows it.
    execute_process(COMMAND ${GIT_EXECUTABLE} rev-parse --git-path HEAD --symbolic-full-name HEAD
                    WORKING_DIRECTORY ${PROJECT_SOURCE_DIR}
                    OUTPUT_VARIABLE scengen_git_lines OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
    string(REPLACE "\n" ";" scengen_git_lines "${scengen_git_lines}")
    list(GET scengen_git_lines 0 scengen_head)
    set(scengen_watch ${scengen_head})
    list(LENGTH scengen_git_lines scengen_count)
    if(scengen_count GREATER 1)
      list(GET scengen_git_lines 1 scengen_ref)
      execute_process(COMMAND ${GIT_EXECUTABLE} rev-parse --git-path ${scengen_ref} --git-path packed-refs
                      WORKING_DIRECTORY ${PROJECT_SOURCE_DIR}
                      OUTPUT_VARIABLE scengen_ref_files OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
      string(REPLACE "\n" ";" scengen_ref_files "${scengen_ref_files}")
      list(APPEND scengen_watch ${scengen_ref_files})
    endif()
    foreach(file ${scengen_watch})
      get_filename_component(file "${file}" ABSOLUTE BASE_DIR ${PROJECT_SOURCE_DIR})
      if(EXISTS "${file}")
        set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS "${file}")
      endif()
    endforeach()
  endif()
endif()
set_property(SOURCE cli/command_line.cpp APPEND PROPERTY COMPILE_DEFINITIONS
             SCENGEN_VERSION_TEXT="${SCENGEN_VERSION_TEXT}")
message(STATUS "scengen ${SCENGEN_VERSION_TEXT}")

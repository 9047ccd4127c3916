# Tests of what the packaging makes from the build: they need no package, only the build folder.
# packaging/package_test.sh and packaging/zip_test.sh check the packages themselves.
if(NOT CMAKE_CROSSCOMPILING)
  add_test(NAME packaging.setup_lists
           COMMAND sh ${PROJECT_SOURCE_DIR}/packaging/setup_lists_test.sh ${PROJECT_SOURCE_DIR})
  add_test(NAME packaging.completion
           COMMAND bash ${PROJECT_SOURCE_DIR}/packaging/completion_test.sh
                   ${CMAKE_BINARY_DIR}/packaging/scengen.bash)
  # The whole line, so that the text reaches the program wherever the version flag is declared.
  string(REGEX REPLACE "([][()+*.?^$\\])" "\\\\\\1" scengen_version_pattern "${SCENGEN_VERSION_TEXT}")
  add_test(NAME packaging.version COMMAND scengen --version)
  set_tests_properties(packaging.version PROPERTIES
                       PASS_REGULAR_EXPRESSION "^scengen ${scengen_version_pattern}\n$")
  if(SCENGEN_HELP2MAN)
    add_test(NAME packaging.man_page
             COMMAND sh ${PROJECT_SOURCE_DIR}/packaging/man_page_test.sh
                     ${CMAKE_BINARY_DIR}/packaging/scengen.1.gz $<TARGET_FILE:scengen>)
  endif()
  set_tests_properties(packaging.completion PROPERTIES SKIP_RETURN_CODE 77)
endif()
if(WIN32)
  # The zip of tools/package as a user unpacks it: both programs, run under wine on the display
  # of tools/check-windows, write the Linux build's six files. Skipped while there is no zip.
  foreach(case built_in_run console_run)
    add_test(NAME package.zip.${case}
             COMMAND bash ${PROJECT_SOURCE_DIR}/packaging/zip_test.sh ${case}
                     ${CMAKE_BINARY_DIR}/package/scengen-${PROJECT_VERSION}-windows-x86_64.zip
                     ${CMAKE_BINARY_DIR} ${SCENGEN_LINUX_PROGRAM})
    set_tests_properties(package.zip.${case} PROPERTIES SKIP_RETURN_CODE 77 TIMEOUT 300
                         RESOURCE_LOCK display)
  endforeach()
endif()

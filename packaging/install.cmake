# What `cmake --install` puts where, and the package CPack makes of it: on Linux a Debian package
# with the program, its man page and bash completion, the README and docs/; from the Windows build
# a zip with the two programs beside the README and docs/ (they write into their own folder).
include(GNUInstallDirs)

if(WIN32)
  install(TARGETS scengen scengenw RUNTIME DESTINATION .)
  install(FILES README.md DESTINATION .)
  install(DIRECTORY docs/ DESTINATION docs)
else()
  install(TARGETS scengen RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  install(FILES README.md packaging/copyright DESTINATION ${CMAKE_INSTALL_DOCDIR})
  install(DIRECTORY docs DESTINATION ${CMAKE_INSTALL_DOCDIR})
endif()

set(scengen_generated ${CMAKE_BINARY_DIR}/packaging)
file(MAKE_DIRECTORY ${scengen_generated})
if(NOT WIN32)
  # Debian wants the changelog compressed, without a time stamp in the gzip header.
  add_custom_command(OUTPUT ${scengen_generated}/changelog.gz
    COMMAND gzip -9n -c ${PROJECT_SOURCE_DIR}/packaging/changelog > ${scengen_generated}/changelog.gz
    DEPENDS packaging/changelog)
  add_custom_target(scengen_changelog ALL DEPENDS ${scengen_generated}/changelog.gz)
  install(FILES ${scengen_generated}/changelog.gz DESTINATION ${CMAKE_INSTALL_DOCDIR})
endif()

# The completion and the man page come from the built program's --help, so only a build that can
# run what it builds makes them.
if(NOT CMAKE_CROSSCOMPILING)
  add_custom_command(OUTPUT ${scengen_generated}/scengen.bash
    COMMAND sh ${PROJECT_SOURCE_DIR}/packaging/completion.sh $<TARGET_FILE:scengen>
            ${scengen_generated}/scengen.bash
    DEPENDS scengen packaging/completion.sh packaging/subcommands.sh)
  add_custom_target(scengen_completion ALL DEPENDS ${scengen_generated}/scengen.bash)
  install(FILES ${scengen_generated}/scengen.bash
          DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions RENAME scengen)

  find_program(SCENGEN_HELP2MAN help2man)
  if(SCENGEN_HELP2MAN)
    add_custom_command(OUTPUT ${scengen_generated}/scengen.1.gz
      COMMAND sh ${PROJECT_SOURCE_DIR}/packaging/man_include.sh $<TARGET_FILE:scengen>
              ${scengen_generated}/scengen.h2m
      COMMAND ${SCENGEN_HELP2MAN} --no-info --version-string=${PROJECT_VERSION}
              "--name=compile the scenarios of a train-driving simulator"
              --include=${scengen_generated}/scengen.h2m --output=${scengen_generated}/scengen.1
              $<TARGET_FILE:scengen>
      COMMAND gzip -9n -f ${scengen_generated}/scengen.1
      DEPENDS scengen packaging/man_include.sh packaging/subcommands.sh
      VERBATIM)
    add_custom_target(scengen_man ALL DEPENDS ${scengen_generated}/scengen.1.gz)
    install(FILES ${scengen_generated}/scengen.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
  else()
    message(STATUS "help2man not found: no man page (tools/setup test installs it)")
  endif()
endif()

set(CPACK_PACKAGE_NAME scengen)
set(CPACK_PACKAGE_VENDOR "the scengen developers")
set(CPACK_PACKAGE_CONTACT "scengen developers <scengen@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "scenario compiler for a train-driving simulator")
# Debian shows the description on an 80-column terminal: lines of at most 72 characters.
string(CONCAT CPACK_PACKAGE_DESCRIPTION
  "scengen turns the description of a driving scenario, a route and a train\n"
  "written in two text formats, into the binary files that the simulator\n"
  "reads, and writes the documents handed to the driver. It checks an\n"
  "author's texts with compiler-like diagnostics, shows compiled files as\n"
  "tables or JSON and draws the route map and profile.")
set(CPACK_PACKAGE_CHECKSUM SHA256)
set(CPACK_VERBATIM_VARIABLES ON)
if(WIN32)
  set(CPACK_GENERATOR ZIP)
  set(CPACK_PACKAGE_FILE_NAME scengen-${PROJECT_VERSION}-windows-x86_64)
else()
  set(CPACK_GENERATOR DEB)
  set(CPACK_STRIP_FILES ON)
  set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
  set(CPACK_DEBIAN_PACKAGE_SECTION misc)
  set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
  # The C and C++ runtime libraries the program links, found by dpkg-shlibdeps.
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
endif()
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR}/package)
include(CPack)

# kelcmd_add_man_page(TARGET SUMMARY [COMPONENT component])
#
# Builds the manual page of the program TARGET from its own `--help` text (help_to_man.py) and
# installs it in section 1, so that the page and the program never tell different things. SUMMARY
# is the one line of the page's NAME section. The page is part of the build of the program.
set(KELCMD_HELP_TO_MAN ${CMAKE_CURRENT_LIST_DIR}/help_to_man.py)
find_package(Python3 REQUIRED COMPONENTS Interpreter)
include(GNUInstallDirs)

function(kelcmd_add_man_page target summary)
  cmake_parse_arguments(PARSE_ARGV 2 page "" "COMPONENT" "")
  if(NOT page_COMPONENT)
    set(page_COMPONENT kelcmd)
  endif()
  get_target_property(program ${target} OUTPUT_NAME)
  if(NOT program)
    set(program ${target})
  endif()
  set(page ${CMAKE_CURRENT_BINARY_DIR}/${program}.1)
  add_custom_command(OUTPUT ${page}
    COMMAND ${Python3_EXECUTABLE} ${KELCMD_HELP_TO_MAN} --name ${program}
            --summary ${summary} --version ${PROJECT_VERSION} --output ${page}
            -- $<TARGET_FILE:${target}>
    DEPENDS ${target} ${KELCMD_HELP_TO_MAN}
    COMMENT "Writing the manual page of ${program}" VERBATIM)
  add_custom_target(${target}_man_page ALL DEPENDS ${page})
  install(FILES ${page} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1 COMPONENT ${page_COMPONENT})
endfunction()

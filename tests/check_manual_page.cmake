# Formats the manual page with every groff warning on, in the C locale, and
# fails on any warning; then shows it with man, when MAN is given, which
# must not warn either. Run by ctest as `manual_page`.
#   cmake -DGROFF=/usr/bin/groff [-DMAN=/usr/bin/man] -DPAGE=data/middletext.1 -P check_manual_page.cmake
set(ENV{LC_ALL} C)
execute_process(COMMAND ${GROFF} -man -ww -z ${PAGE}
  RESULT_VARIABLE result ERROR_VARIABLE warnings OUTPUT_VARIABLE output)
if(NOT result EQUAL 0 OR NOT warnings STREQUAL "" OR NOT output STREQUAL "")
  message(FATAL_ERROR "groff -man -ww -z ${PAGE} (status ${result}):\n${warnings}${output}")
endif()
if(MAN)
  set(ENV{MANWIDTH} 80)
  execute_process(COMMAND ${MAN} -l ${PAGE}
    RESULT_VARIABLE result ERROR_VARIABLE warnings OUTPUT_QUIET)
  if(NOT result EQUAL 0 OR NOT warnings STREQUAL "")
    message(FATAL_ERROR "man -l ${PAGE} (status ${result}):\n${warnings}")
  endif()
endif()

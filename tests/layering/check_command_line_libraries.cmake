# Runs every command of the command line on small files with the dynamic
# loader reporting each library it opens (LD_DEBUG=files), and fails when
# one of them is a Qt library or the window module: the command line runs
# without the window's code. Then starts the window (offscreen) for a
# moment, which must open the module and Qt, and a copy of the program
# without its module, which must say so and end. Run by ctest as
# `command_line_loads_no_qt`.
#   cmake -DPROGRAM=build/middletext -DWORK=build/folder -P check_command_line_libraries.cmake
file(MAKE_DIRECTORY ${WORK})
file(WRITE ${WORK}/page.txt "<h1>Hello</h1> and more")
file(WRITE ${WORK}/cases.jsonl
  "{\"name\": \"title\", \"source\": \"page.txt\", \"left\": \"<h1>\", \"right\": \"</h1>\", \"expect\": \"Hello\"}\n")
set(runs
  "extract;--left;<h1>;--right;</h1>;${WORK}/page.txt"
  "find;--text;Hello;${WORK}/page.txt"
  "fetch;http://127.0.0.1:9/;--connect-timeout;1"
  "test;${WORK}/cases.jsonl"
  "suggest;--middle;Hello;${WORK}/page.txt"
  "code;--lang;python"
  "--version")
set(ENV{LD_DEBUG} files)
foreach(run IN LISTS runs)
  string(REPLACE ";" " " shown "${run}")
  execute_process(COMMAND ${PROGRAM} ${run} WORKING_DIRECTORY ${WORK}
    RESULT_VARIABLE status OUTPUT_QUIET ERROR_VARIABLE loads)
  if(NOT loads MATCHES "file=libc\\.so")
    message(FATAL_ERROR "middletext ${shown}: the loader reported nothing (status ${status})")
  endif()
  string(REGEX MATCHALL "file=[^ ]*(libQt6|middletext-window)[^ ]*" qt "${loads}")
  if(qt)
    list(REMOVE_DUPLICATES qt)
    message(FATAL_ERROR "middletext ${shown} loaded ${qt}")
  endif()
endforeach()

# The window opens the module and Qt; it runs until the time-out ends it.
set(ENV{QT_QPA_PLATFORM} offscreen)
execute_process(COMMAND timeout 3 ${PROGRAM} WORKING_DIRECTORY ${WORK}
  RESULT_VARIABLE status OUTPUT_QUIET ERROR_VARIABLE loads)
if(NOT loads MATCHES "file=[^ ]*middletext-window\\.so" OR NOT loads MATCHES "file=libQt6Widgets"
   OR NOT status EQUAL 124)
  string(REGEX MATCHALL "middletext: [^\n]*" said "${loads}")
  message(FATAL_ERROR "the window did not start with its module (status ${status}) ${said}")
endif()

# Without its module the program says why the window cannot start.
unset(ENV{LD_DEBUG})
file(COPY ${PROGRAM} DESTINATION ${WORK}/alone)
get_filename_component(name ${PROGRAM} NAME)
execute_process(COMMAND timeout 10 ${WORK}/alone/${name} WORKING_DIRECTORY ${WORK}
  RESULT_VARIABLE status OUTPUT_QUIET ERROR_VARIABLE said)
if(NOT status EQUAL 1 OR NOT said MATCHES "^middletext: the window cannot start: no middletext-window\\.so in ")
  message(FATAL_ERROR "without its module the program ended with status ${status}: ${said}")
endif()

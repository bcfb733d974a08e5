# What is made from the command line's option table (src/cli/option_table.h)
# and its help (src/cli/option_help.txt) by tools/cliopts: the usage's pieces
# for the program, the manual page (data/middletext.1.in with its OPTIONS
# section) and the bash, zsh and fish completions, in the build folder.
add_executable(cliopts tools/cliopts/cliopts.cpp tools/cliopts/help_rows.cpp)
target_include_directories(cliopts PRIVATE ${CMAKE_SOURCE_DIR}/src)
set(MT_OPTION_HELP ${CMAKE_SOURCE_DIR}/src/cli/option_help.txt)
set(MT_COMPLETIONS ${CMAKE_BINARY_DIR}/completions)
set(MT_MANUAL_PAGE ${CMAKE_BINARY_DIR}/middletext.1)
# The page's header carries the project's version; cliopts fills in @OPTIONS@.
set(MT_MANUAL_TEMPLATE ${CMAKE_BINARY_DIR}/middletext.1.in)
set(OPTIONS "@OPTIONS@")
configure_file(${CMAKE_SOURCE_DIR}/data/middletext.1.in ${MT_MANUAL_TEMPLATE} @ONLY)
unset(OPTIONS)
file(MAKE_DIRECTORY ${MT_COMPLETIONS} ${MT_GENERATED}/cli)

add_custom_command(
  OUTPUT ${MT_GENERATED}/cli/cli_usage_text.h
  COMMAND cliopts usage ${MT_OPTION_HELP} ${MT_GENERATED}/cli/cli_usage_text.h
  DEPENDS cliopts ${MT_OPTION_HELP}
  COMMENT "The usage from the option table")
target_sources(mt_cli PRIVATE ${MT_GENERATED}/cli/cli_usage_text.h)

add_custom_command(
  OUTPUT ${MT_MANUAL_PAGE}
  COMMAND cliopts manual ${MT_OPTION_HELP} ${MT_MANUAL_TEMPLATE} ${MT_MANUAL_PAGE}
  DEPENDS cliopts ${MT_OPTION_HELP} ${MT_MANUAL_TEMPLATE}
  COMMENT "The manual page from the option table")

add_custom_command(
  OUTPUT ${MT_COMPLETIONS}/middletext.bash ${MT_COMPLETIONS}/_middletext ${MT_COMPLETIONS}/middletext.fish
  COMMAND cliopts completions ${MT_COMPLETIONS}
  DEPENDS cliopts
  COMMENT "Shell completions from the option table")
add_custom_target(mt_completions ALL
  DEPENDS ${MT_COMPLETIONS}/middletext.bash ${MT_COMPLETIONS}/_middletext ${MT_COMPLETIONS}/middletext.fish
          ${MT_MANUAL_PAGE})

# The shell completions, written from the command line's option table
# (src/cli/option_table.h) by tools/cliopts into BUILD/completions.
add_executable(cliopts tools/cliopts/cliopts.cpp)
target_include_directories(cliopts PRIVATE ${CMAKE_SOURCE_DIR}/src)
set(MT_COMPLETIONS ${CMAKE_BINARY_DIR}/completions)
file(MAKE_DIRECTORY ${MT_COMPLETIONS})
add_custom_command(
  OUTPUT ${MT_COMPLETIONS}/middletext.bash ${MT_COMPLETIONS}/_middletext ${MT_COMPLETIONS}/middletext.fish
  COMMAND cliopts ${MT_COMPLETIONS}
  DEPENDS cliopts
  COMMENT "Shell completions from the option table")
add_custom_target(mt_completions ALL
  DEPENDS ${MT_COMPLETIONS}/middletext.bash ${MT_COMPLETIONS}/_middletext ${MT_COMPLETIONS}/middletext.fish)

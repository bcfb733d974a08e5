# The tool: its window description and literals (readable sources in src/app)
# become the template block and constants block at build time.
add_executable(mtimage tools/mtimage/mtimage.cpp tools/mtimage/layout_parser.cpp
  src/windows/template_writer.cpp src/windows/template_types.cpp)
target_link_libraries(mtimage PRIVATE mt_tools_common)
target_include_directories(mtimage PRIVATE ${CMAKE_SOURCE_DIR}/src)

set(MT_APP_LAYOUT ${CMAKE_SOURCE_DIR}/src/app/main_window.layout)
set(MT_APP_LITERALS ${CMAKE_SOURCE_DIR}/src/app/literals.txt)
file(GLOB MT_APP_ASSETS CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/src/app/assets/*)
file(MAKE_DIRECTORY ${MT_GENERATED}/app)
# The version --version prints, from project() alone.
configure_file(${CMAKE_SOURCE_DIR}/cmake/program_version.h.in ${MT_GENERATED}/app/program_version.h @ONLY)
add_custom_command(
  OUTPUT ${MT_GENERATED}/app/program_image.cpp ${MT_GENERATED}/app/app_image.h
  COMMAND mtimage ${MT_APP_LAYOUT} ${MT_APP_LITERALS}
          ${MT_GENERATED}/app/program_image.cpp ${MT_GENERATED}/app/app_image.h
  DEPENDS mtimage ${MT_APP_LAYOUT} ${MT_APP_LITERALS} ${MT_APP_ASSETS}
  WORKING_DIRECTORY ${CMAKE_SOURCE_DIR}/src/app
  COMMENT "Program image from src/app")

# The extraction subroutine in other languages (code --lang) becomes a header
# of string literals.
file(GLOB MT_CODE_TEMPLATES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/src/cli/code_templates/middle_text.*)
add_custom_command(
  OUTPUT ${MT_GENERATED}/app/code_templates.h
  COMMAND ${CMAKE_COMMAND} "-DSOURCES=${MT_CODE_TEMPLATES}" -DOUTPUT=${MT_GENERATED}/app/code_templates.h
          -P ${CMAKE_SOURCE_DIR}/cmake/embed_code_templates.cmake
  DEPENDS ${MT_CODE_TEMPLATES} ${CMAKE_SOURCE_DIR}/cmake/embed_code_templates.cmake
  COMMENT "Code templates from src/cli/code_templates"
  VERBATIM)

# The tool above the frame: the units both sides use with the call gate
# (shared), the window's handlers (app) and the command line (cli), each of
# the two seeing shared alone. The program image names the window's handlers
# and both sides start the runtime with it: a library of its own that the
# executable links.
add_custom_target(mt_image_texts DEPENDS ${MT_GENERATED}/app/program_image.cpp ${MT_GENERATED}/app/app_image.h)
mt_layer(shared)
add_dependencies(mt_shared mt_image_texts)
target_include_directories(mt_shared PUBLIC ${MT_GENERATED}/app)
# Case files are JSON Lines, read with nlohmann-json.
find_package(nlohmann_json 3.10 REQUIRED)
target_link_libraries(mt_shared PRIVATE nlohmann_json::nlohmann_json)
mt_layer(app)
mt_layer(cli)
target_sources(mt_cli PRIVATE ${MT_GENERATED}/app/code_templates.h)
add_library(mt_program_image STATIC ${MT_GENERATED}/app/program_image.cpp)
target_link_libraries(mt_program_image PUBLIC mt_app)
mt_layer_includes(mt_program_image shared)

add_executable(middletext src/app/main.cpp)
target_link_libraries(middletext PRIVATE mt_cli mt_program_image)
mt_layer_includes(middletext app)
mt_layer_includes(middletext cli)
mt_layer_includes(middletext frame) # the entry point starts the runtime
# The window's code comes from the window module, opened when the window
# starts (cmake/platform.cmake): the command line loads no Qt.
mt_window_module_program(middletext)

# Builds with the tests let them lower the command line's input limit
# (MT_TEST_INPUT_LIMIT) instead of feeding it gigabytes.
if(MT_TESTS)
  target_compile_definitions(mt_shared PRIVATE MT_INPUT_LIMIT_FROM_ENVIRONMENT)
endif()

include(cmake/option_table.cmake)
include(cmake/install.cmake)

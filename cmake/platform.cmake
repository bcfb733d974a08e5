# The platform layer in two parts, so that the command line loads no Qt:
#
#   mt_platform_base    src/platform/base: what needs no Qt (text
#                       conversions, the heap, the start directory, file
#                       search). Built without Qt's headers and linked
#                       without its libraries: a Qt include there does not
#                       compile.
#   mt_platform_window  the rest of src/platform: the application object,
#                       windows, controls, dialogs, clipboard. Needs Qt.
#
# The program links the base and src/platform/loader, which passes each of
# the window's calls (base/window_calls.h) to the module middletext-window,
# built from mt_platform_window and opened on the window's first call. The
# program itself links no Qt, so a Qt symbol anywhere on its side fails its
# link. Tests and benchmarks link the window's code statically instead.
#
# mt_platform is what the layers above link: the base, and the window's
# calls as the linking target wants them (its MT_WINDOW_MODULE property).

file(GLOB_RECURSE MT_PLATFORM_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/src/platform/*.cpp
                                                        ${CMAKE_SOURCE_DIR}/src/platform/*.h)
list(FILTER MT_PLATFORM_SOURCES EXCLUDE REGEX "/src/platform/testing/")
set(MT_PLATFORM_BASE_SOURCES ${MT_PLATFORM_SOURCES})
list(FILTER MT_PLATFORM_BASE_SOURCES INCLUDE REGEX "/src/platform/base/")
set(MT_PLATFORM_LOADER_SOURCES ${MT_PLATFORM_SOURCES})
list(FILTER MT_PLATFORM_LOADER_SOURCES INCLUDE REGEX "/src/platform/loader/")
list(FILTER MT_PLATFORM_SOURCES EXCLUDE REGEX "/src/platform/(base|loader)/")
set(MT_PLATFORM_TEXTS)
foreach(h ${MT_TEXT_HEADERS})
  if(h MATCHES "/generated/platform/")
    list(APPEND MT_PLATFORM_TEXTS ${h})
  endif()
endforeach()

add_library(mt_platform_base STATIC ${MT_PLATFORM_BASE_SOURCES})
add_dependencies(mt_platform_base mt_texts)
mt_layer_includes(mt_platform_base platform)
target_link_libraries(mt_platform_base PUBLIC mt_abi)

# Compiled once, for the module and for the tests' static platform.
add_library(mt_platform_window OBJECT ${MT_PLATFORM_SOURCES} ${MT_PLATFORM_TEXTS})
add_dependencies(mt_platform_window mt_texts)
mt_layer_includes(mt_platform_window platform)
set_target_properties(mt_platform_window PROPERTIES AUTOMOC ON POSITION_INDEPENDENT_CODE ON)
target_link_libraries(mt_platform_window PRIVATE Qt6::Widgets)
target_compile_definitions(mt_platform_window PRIVATE MT_VERSION="${PROJECT_VERSION}")

add_library(mt_platform_window_static STATIC $<TARGET_OBJECTS:mt_platform_window>)
target_link_libraries(mt_platform_window_static PUBLIC mt_platform_base PRIVATE Qt6::Widgets)

# The window module. Its own functions bind inside it (-Bsymbolic), so the
# program's stand-ins of the same names never answer its calls; what it
# leaves undefined it finds in the program (MT_PROGRAM_EXPORTS).
add_library(middletext-window MODULE $<TARGET_OBJECTS:mt_platform_window>)
set_target_properties(middletext-window PROPERTIES PREFIX "" OUTPUT_NAME middletext-window)
target_link_libraries(middletext-window PRIVATE Qt6::Widgets)
target_link_options(middletext-window PRIVATE -Wl,-Bsymbolic)

# Where the installed module lies, relative to the installed program: a
# folder of its own in the multiarch library folder (lib/x86_64-linux-gnu/
# middletext on Debian), where no ldconfig run is asked for it.
include(GNUInstallDirs)
if(CMAKE_LIBRARY_ARCHITECTURE)
  set(MT_WINDOW_MODULE_INSTALL_DIR lib/${CMAKE_LIBRARY_ARCHITECTURE}/middletext)
else()
  set(MT_WINDOW_MODULE_INSTALL_DIR ${CMAKE_INSTALL_LIBDIR}/middletext)
endif()
file(RELATIVE_PATH MT_WINDOW_MODULE_FROM_PROGRAM /prefix/${CMAKE_INSTALL_BINDIR} /prefix/${MT_WINDOW_MODULE_INSTALL_DIR})

add_library(mt_platform_loader STATIC ${MT_PLATFORM_LOADER_SOURCES})
mt_layer_includes(mt_platform_loader platform)
target_link_libraries(mt_platform_loader PUBLIC mt_platform_base PRIVATE ${CMAKE_DL_LIBS})
target_compile_definitions(mt_platform_loader PRIVATE MT_WINDOW_MODULE_DIR="${MT_WINDOW_MODULE_FROM_PROGRAM}")

add_library(mt_platform INTERFACE)
target_link_libraries(mt_platform INTERFACE mt_platform_base
  $<IF:$<BOOL:$<TARGET_PROPERTY:MT_WINDOW_MODULE>>,mt_platform_loader,mt_platform_window_static>)

# The program's symbols the module uses: the platform's own code.
set(MT_PROGRAM_EXPORTS ${CMAKE_SOURCE_DIR}/src/platform/loader/program_exports.list)

# mt_window_module_program(TARGET): TARGET is a program that opens the window
# module rather than linking the window's code.
function(mt_window_module_program target)
  set_target_properties(${target} PROPERTIES MT_WINDOW_MODULE ON)
  target_link_options(${target} PRIVATE -Wl,--dynamic-list=${MT_PROGRAM_EXPORTS})
  set_property(TARGET ${target} APPEND PROPERTY LINK_DEPENDS ${MT_PROGRAM_EXPORTS})
  add_dependencies(${target} middletext-window)
endfunction()

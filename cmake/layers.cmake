# The runtime as one library per layer, each linked only to the layers below
# it:  app > frame > windows > components > commands > net > platform,
# with abi (the shared declaration headers) under them all.
#
# A layer does not see src/ as a whole. Its include root under the build
# folder holds links to its own folder, the folders of the layers below and
# abi, and a second root the same for the generated texts; so an include of a
# higher layer does not compile. Qt is linked PRIVATE to the platform's
# window code alone (cmake/platform.cmake), so Qt's headers are not found
# above it either.

set(MT_LAYERS platform net commands components windows frame app)
set(MT_INCLUDE_ROOTS ${CMAKE_BINARY_DIR}/include_roots)

# The program above the runtime has three rooms: shared (the units both
# sides use and the call gate), app (the window's handlers) and cli (the
# command line). app and cli each see shared and abi, and neither sees the
# other; shared sees itself and abi.
set(MT_PROGRAM_ROOMS shared app cli)

# mt_layer_includes(TARGET LAYER): TARGET compiles as code of LAYER, seeing
# only what LAYER may see. The program's rooms see their own folder, shared
# and abi alone: they reach the runtime through the entry table and the call
# gate, as a program does (main.cpp, its entry point, adds the frame's view).
function(mt_layer_includes target layer)
  list(FIND MT_LAYERS ${layer} top)
  if(top LESS 0 AND NOT layer IN_LIST MT_PROGRAM_ROOMS)
    message(FATAL_ERROR "No layer ${layer}")
  endif()
  set(src_root ${MT_INCLUDE_ROOTS}/${layer}/src)
  set(gen_root ${MT_INCLUDE_ROOTS}/${layer}/generated)
  # The application's root in a build folder made before the shared room
  # was: the room is linked in.
  if(layer IN_LIST MT_PROGRAM_ROOMS AND EXISTS ${src_root} AND NOT EXISTS ${src_root}/shared)
    file(CREATE_LINK ${CMAKE_SOURCE_DIR}/src/shared ${src_root}/shared SYMBOLIC)
    file(MAKE_DIRECTORY ${MT_GENERATED}/shared)
    file(CREATE_LINK ${MT_GENERATED}/shared ${gen_root}/shared SYMBOLIC)
  endif()
  if(NOT EXISTS ${src_root})
    file(MAKE_DIRECTORY ${src_root} ${gen_root})
    file(CREATE_LINK ${CMAKE_SOURCE_DIR}/src/abi ${src_root}/abi SYMBOLIC)
    set(folders ${MT_LAYERS})
    list(SUBLIST folders 0 ${top} folders)
    list(APPEND folders ${layer})
    if(layer IN_LIST MT_PROGRAM_ROOMS)
      set(folders shared ${layer})
      list(REMOVE_DUPLICATES folders)
    endif()
    foreach(folder ${folders})
      file(CREATE_LINK ${CMAKE_SOURCE_DIR}/src/${folder} ${src_root}/${folder} SYMBOLIC)
      file(MAKE_DIRECTORY ${MT_GENERATED}/${folder})
      file(CREATE_LINK ${MT_GENERATED}/${folder} ${gen_root}/${folder} SYMBOLIC)
    endforeach()
  endif()
  target_include_directories(${target} PRIVATE ${src_root} ${gen_root})
endfunction()

# abi: headers only, for every layer. The one definition behind them, the
# service entry's holder, is a library of its own that comes with them.
# abi sees abi alone.
add_library(mt_abi_service STATIC src/abi/service_calls.cpp)
if(NOT EXISTS ${MT_INCLUDE_ROOTS}/abi/src)
  file(MAKE_DIRECTORY ${MT_INCLUDE_ROOTS}/abi/src)
  file(CREATE_LINK ${CMAKE_SOURCE_DIR}/src/abi ${MT_INCLUDE_ROOTS}/abi/src/abi SYMBOLIC)
endif()
target_include_directories(mt_abi_service PRIVATE ${MT_INCLUDE_ROOTS}/abi/src)
add_library(mt_abi INTERFACE)
target_link_libraries(mt_abi INTERFACE mt_abi_service)

# mt_layer(LAYER): the library mt_<LAYER> from every source
# under src/<LAYER>, linked to the layer below (or abi).
function(mt_layer layer)
  file(GLOB_RECURSE srcs CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/src/${layer}/*.cpp ${CMAKE_SOURCE_DIR}/src/${layer}/*.h)
  # Test-only code is built apart (mt_platform_testing).
  list(FILTER srcs EXCLUDE REGEX "/src/${layer}/testing/")
  list(FILTER srcs EXCLUDE REGEX "/src/app/main\\.cpp$")
  set(layer_texts)
  foreach(h ${MT_TEXT_HEADERS})
    if(h MATCHES "/generated/${layer}/")
      list(APPEND layer_texts ${h})
    endif()
  endforeach()
  add_library(mt_${layer} STATIC ${srcs} ${layer_texts})
  add_dependencies(mt_${layer} mt_texts)
  mt_layer_includes(mt_${layer} ${layer})
  list(FIND MT_LAYERS ${layer} index)
  if(layer STREQUAL "shared")
    target_link_libraries(mt_${layer} PUBLIC mt_frame)
  elseif(layer IN_LIST MT_PROGRAM_ROOMS)
    target_link_libraries(mt_${layer} PUBLIC mt_shared)
  elseif(index EQUAL 0)
    target_link_libraries(mt_${layer} PUBLIC mt_abi)
  else()
    math(EXPR below "${index} - 1")
    list(GET MT_LAYERS ${below} lower)
    target_link_libraries(mt_${layer} PUBLIC mt_${lower})
  endif()
endfunction()

include(cmake/platform.cmake)
foreach(layer net commands components windows frame)
  mt_layer(${layer})
endforeach()
# libcurl's headers only: net/curl_library.cpp opens the library when the
# first page is read.
target_include_directories(mt_net PRIVATE $<TARGET_PROPERTY:CURL::libcurl,INTERFACE_INCLUDE_DIRECTORIES>)
target_link_libraries(mt_net PRIVATE ${CMAKE_DL_LIBS})
# Host names in other scripts are looked up in their ASCII form, made by
# libidn2 (net/request_url.cpp).
find_path(MT_IDN2_INCLUDE idn2.h REQUIRED)
find_library(MT_IDN2_LIBRARY idn2 REQUIRED)
target_include_directories(mt_net PRIVATE ${MT_IDN2_INCLUDE})
target_link_libraries(mt_net PRIVATE ${MT_IDN2_LIBRARY})
target_link_libraries(mt_frame PRIVATE ${CMAKE_DL_LIBS})

# Test-only code of the platform: input as a user gives it, and the store of
# scripted dialog answers. Only tests and benchmarks link it.
if(MT_TESTS OR MT_BENCH)
  file(GLOB MT_PLATFORM_TESTING CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/src/platform/testing/*.cpp
                                                  ${CMAKE_SOURCE_DIR}/src/platform/testing/*.h)
  find_package(Qt6 REQUIRED COMPONENTS Test)
  add_library(mt_platform_testing STATIC ${MT_PLATFORM_TESTING})
  mt_layer_includes(mt_platform_testing platform)
  target_link_libraries(mt_platform_testing PUBLIC mt_platform PRIVATE Qt6::Widgets Qt6::Test)
endif()

# The runtime as a whole, for tests and benchmarks: every layer up to the
# frame, seen from src/ (tests look inside any layer).
add_library(mtruntime INTERFACE)
target_link_libraries(mtruntime INTERFACE mt_frame)
target_include_directories(mtruntime INTERFACE ${CMAKE_SOURCE_DIR}/src ${MT_GENERATED} ${CMAKE_SOURCE_DIR})

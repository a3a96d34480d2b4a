# GoogleTest: the system's on Linux; on a cross build, compiled from the sources Debian installs.
if(CMAKE_CROSSCOMPILING)
  set(gtest_force_shared_crt OFF CACHE BOOL "" FORCE)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  set(BUILD_GMOCK ON CACHE BOOL "" FORCE)
  add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
  set(TAVELIN_GTEST_LIBS gtest gmock)
  set(TAVELIN_GTEST_MAIN gtest_main)
else()
  find_package(GTest REQUIRED)
  find_package(Threads REQUIRED)
  set(TAVELIN_GTEST_LIBS GTest::gtest GTest::gmock Threads::Threads)
  set(TAVELIN_GTEST_MAIN GTest::gtest_main)
endif()

# Test code is compiled for a quick build rather than speed: without optimisation in every
# configuration, and with GoogleTest's headers precompiled once per executable. The code under test
# keeps its configuration's flags.
function(tavelin_test_code target)
  target_compile_options(${target} PRIVATE $<$<CONFIG:RelWithDebInfo,Release,MinSizeRel>:-O0>)
  target_precompile_headers(${target} PRIVATE <gtest/gtest.h> <gmock/gmock.h>)
endfunction()

# Adds a GoogleTest executable: each case a CTest test natively; on a cross build the whole
# executable is one test (under Wine, through CMAKE_CROSSCOMPILING_EMULATOR), since listing the
# cases there would start Wine at build time.
function(tavelin_add_gtest name)
  cmake_parse_arguments(T "" "" "SOURCES;LIBS;LABELS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} ${TAVELIN_GTEST_LIBS} ${TAVELIN_GTEST_MAIN})
  tavelin_test_code(${name})
  if(CMAKE_CROSSCOMPILING)
    add_test(NAME ${name} COMMAND ${name} --gtest_brief=1)
    set_tests_properties(${name} PROPERTIES LABELS "${T_LABELS}" TIMEOUT 300)
  else()
    # One CTest test per case, so the summary counts cases.
    include(GoogleTest)
    gtest_discover_tests(${name} PROPERTIES LABELS "${T_LABELS}" TIMEOUT 120 DISCOVERY_TIMEOUT 60)
  endif()
endfunction()

# A static library of every .cpp in the calling folder (`exclude` names files left out), or an
# interface library while the folder has none yet.
# The layers above platform/ find each other by folder name ("toolkit/Form.h") through links in
# the build tree, and the platform only through its interface headers: the source root, where a
# backend's own headers lie, is on no layer's include path.
set(TAVELIN_LAYER_INCLUDE ${CMAKE_BINARY_DIR}/layers)
file(MAKE_DIRECTORY ${TAVELIN_LAYER_INCLUDE})
foreach(layer app controls desktop gallery speech toolkit)
  file(CREATE_LINK ${CMAKE_SOURCE_DIR}/${layer} ${TAVELIN_LAYER_INCLUDE}/${layer} SYMBOLIC)
endforeach()
add_library(tavelin_layers INTERFACE)
target_include_directories(tavelin_layers INTERFACE ${TAVELIN_LAYER_INCLUDE})

# A backend library's sources reach its own, the shared and the core headers from the source root.
function(tavelin_backend_sources target)
  get_target_property(type ${target} TYPE)
  if(NOT type STREQUAL "INTERFACE_LIBRARY")
    target_include_directories(${target} PRIVATE ${CMAKE_SOURCE_DIR})
  endif()
endfunction()

function(tavelin_folder_library name deps)
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  foreach(excluded ${ARGN})
    list(REMOVE_ITEM sources ${CMAKE_CURRENT_SOURCE_DIR}/${excluded})
  endforeach()
  if(sources)
    add_library(${name} STATIC ${sources})
    target_link_libraries(${name} PUBLIC ${deps} tavelin_layers)
  else()
    add_library(${name} INTERFACE)
    target_link_libraries(${name} INTERFACE ${deps} tavelin_layers)
  endif()
endfunction()

# The program's own libraries, most dependent first. A backend library follows them on a link
# line: static libraries resolve left to right, and the toolkit's calls into the platform are
# resolved only by a backend named after it.
set(TAVELIN_PROGRAM_LIBS tavelin_app tavelin_desktop tavelin_speech tavelin_controls tavelin_toolkit)

# orvex_library(NAME [SOURCES_GLOB dir] DEPS ...)
#   A static library of every .cpp directly in the calling directory.
# orvex_tests(NAME DEPS ...)
#   One GoogleTest binary of every *_test.cpp in the calling directory's tests/ folder,
#   registered with CTest under NAME.
# The heavy headers nearly every file includes (the JSON library, the test framework) are
# precompiled per target. Per target rather than shared: targets differ in their defines
# (Qt's, GTest's), and a shared header compiled with other defines is refused.
set(ORVEX_PCH_HEADERS <nlohmann/json.hpp> <string> <vector> <map> <memory> <functional>
                      <optional> <filesystem> <mutex>)

function(orvex_use_pch name)
  if(ORVEX_PCH)
    target_precompile_headers(${name} PRIVATE ${ORVEX_PCH_HEADERS} ${ARGN})
  endif()
endfunction()

function(orvex_library name)
  cmake_parse_arguments(ARG "" "" "DEPS" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  if(sources)
    add_library(${name} STATIC ${sources})
    orvex_use_pch(${name})
    target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
    target_link_libraries(${name} PUBLIC ${ARG_DEPS})
  else()
    # Headers only so far.
    add_library(${name} INTERFACE)
    target_include_directories(${name} INTERFACE ${PROJECT_SOURCE_DIR})
    target_link_libraries(${name} INTERFACE ${ARG_DEPS})
  endif()
endfunction()

function(orvex_tests name)
  if(NOT ORVEX_TESTS)
    return()
  endif()
  cmake_parse_arguments(ARG "" "" "DEPS;LABELS" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/tests/*.cpp)
  if(NOT sources)
    return()
  endif()
  add_executable(${name} ${sources})
  orvex_use_pch(${name} <gtest/gtest.h> <gmock/gmock.h>)
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR})
  target_link_libraries(${name} PRIVATE ${ARG_DEPS} GTest::gmock GTest::gtest_main)
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
  add_test(NAME ${name} COMMAND ${name} --gtest_brief=1)
  set_tests_properties(${name} PROPERTIES TIMEOUT 300 ENVIRONMENT
                       "ORVEX_SOURCE_DIR=${PROJECT_SOURCE_DIR};ORVEX_BINARY_DIR=${CMAKE_BINARY_DIR}")
  if(ARG_LABELS)
    set_tests_properties(${name} PROPERTIES LABELS "${ARG_LABELS}")
  endif()
endfunction()

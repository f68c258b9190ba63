# orvex_library(NAME [OWN_PCH] DEPS ...)
#   A static library of every .cpp directly in the calling directory.
# orvex_tests(NAME [OWN_BINARY] [LABELS ...] DEPS ...)
#   The calling directory's tests/*.cpp. By default they join the one unit-test binary,
#   orvex_unit_tests (made by orvex_unit_test_binary() once every module is known); with
#   OWN_BINARY they get a binary NAME of their own, for tests that need a toolkit, a bus or
#   a display library the rest of the unit tests should not link.
#
# The heavy headers nearly every file includes are precompiled once for all libraries
# (orvex_pch) and once for the unit tests. A target whose compile flags differ (Qt's or
# GLib's defines) cannot use a header compiled without them and builds its own (OWN_PCH).
set(ORVEX_PCH_HEADERS <nlohmann/json.hpp> <string> <vector> <map> <memory> <functional>
                      <optional> <filesystem> <mutex>)
set(ORVEX_TEST_PCH_HEADERS ${ORVEX_PCH_HEADERS} <gtest/gtest.h> <gmock/gmock.h>)

function(orvex_use_pch name)
  if(ORVEX_PCH)
    target_precompile_headers(${name} PRIVATE ${ORVEX_PCH_HEADERS} ${ARGN})
  endif()
endfunction()

# The library whose precompiled header the others reuse.
function(orvex_shared_pch_target)
  if(ORVEX_PCH AND NOT TARGET orvex_pch)
    file(WRITE ${CMAKE_BINARY_DIR}/orvex_pch.cpp "// Carries the shared precompiled header.\n")
    add_library(orvex_pch STATIC ${CMAKE_BINARY_DIR}/orvex_pch.cpp)
    target_link_libraries(orvex_pch PRIVATE nlohmann_json::nlohmann_json)
    target_precompile_headers(orvex_pch PRIVATE ${ORVEX_PCH_HEADERS})
  endif()
endfunction()

function(orvex_library name)
  cmake_parse_arguments(ARG "OWN_PCH" "" "DEPS" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  if(sources)
    add_library(${name} STATIC ${sources})
    target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
    target_link_libraries(${name} PUBLIC ${ARG_DEPS})
    if(ARG_OWN_PCH)
      orvex_use_pch(${name})
    elseif(ORVEX_PCH)
      orvex_shared_pch_target()
      target_precompile_headers(${name} REUSE_FROM orvex_pch)
    endif()
  else()
    # Headers only so far.
    add_library(${name} INTERFACE)
    target_include_directories(${name} INTERFACE ${PROJECT_SOURCE_DIR})
    target_link_libraries(${name} INTERFACE ${ARG_DEPS})
  endif()
endfunction()

function(orvex_test_properties test)
  set_tests_properties(${test} PROPERTIES TIMEOUT 300 ENVIRONMENT
                       "ORVEX_SOURCE_DIR=${PROJECT_SOURCE_DIR};ORVEX_BINARY_DIR=${CMAKE_BINARY_DIR}")
endfunction()

function(orvex_tests name)
  if(NOT ORVEX_TESTS)
    return()
  endif()
  cmake_parse_arguments(ARG "OWN_BINARY" "" "DEPS;LABELS" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/tests/*.cpp)
  if(NOT sources)
    return()
  endif()
  if(NOT ARG_OWN_BINARY)
    set_property(GLOBAL APPEND PROPERTY ORVEX_UNIT_TEST_SOURCES ${sources})
    set_property(GLOBAL APPEND PROPERTY ORVEX_UNIT_TEST_DEPS ${ARG_DEPS})
    return()
  endif()
  add_executable(${name} ${sources})
  orvex_use_pch(${name} <gtest/gtest.h> <gmock/gmock.h>)
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR})
  target_link_libraries(${name} PRIVATE ${ARG_DEPS} orvex_testing GTest::gmock GTest::gtest_main)
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
  add_test(NAME ${name} COMMAND ${name} --gtest_brief=1)
  orvex_test_properties(${name})
  if(ARG_LABELS)
    set_tests_properties(${name} PROPERTIES LABELS "${ARG_LABELS}")
  endif()
endfunction()

# One binary for the unit tests of every module: one precompiled header and one link
# instead of one per module.
function(orvex_unit_test_binary)
  if(NOT ORVEX_TESTS)
    return()
  endif()
  get_property(sources GLOBAL PROPERTY ORVEX_UNIT_TEST_SOURCES)
  get_property(deps GLOBAL PROPERTY ORVEX_UNIT_TEST_DEPS)
  list(REMOVE_DUPLICATES deps)
  add_executable(orvex_unit_tests ${sources})
  orvex_use_pch(orvex_unit_tests <gtest/gtest.h> <gmock/gmock.h>)
  target_include_directories(orvex_unit_tests PRIVATE ${PROJECT_SOURCE_DIR})
  target_link_libraries(orvex_unit_tests PRIVATE ${deps} orvex_testing GTest::gmock
                                                 GTest::gtest_main)
  set_target_properties(orvex_unit_tests PROPERTIES RUNTIME_OUTPUT_DIRECTORY
                                                    ${CMAKE_BINARY_DIR}/tests)
  add_test(NAME unit_tests COMMAND orvex_unit_tests --gtest_brief=1)
  orvex_test_properties(unit_tests)
  set_tests_properties(unit_tests PROPERTIES LABELS unit)
endfunction()

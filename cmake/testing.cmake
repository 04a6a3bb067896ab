# GoogleTest: Debian's build natively; built from Debian's googletest sources when cross-compiling.
if(CMAKE_CROSSCOMPILING)
  set(gtest_disable_pthreads OFF CACHE BOOL "" FORCE)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
  add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/_googletest EXCLUDE_FROM_ALL)
else()
  find_package(GTest REQUIRED)
endif()
include(GoogleTest)

# velmora_add_gtest(target [LABELS ...]): natively each case is its own test; under Wine the whole
# binary is one test, since every Wine process start costs about a second.
function(velmora_add_gtest target)
  cmake_parse_arguments(ARG "" "" "LABELS" ${ARGN})
  if(CMAKE_CROSSCOMPILING)
    add_test(NAME ${target} COMMAND ${target})
    set_tests_properties(${target} PROPERTIES LABELS "unit;${ARG_LABELS}")
  else()
    # The label list crosses a generated script, so its separators must stay escaped.
    set(labels unit ${ARG_LABELS})
    string(REPLACE ";" "\\;" labels "${labels}")
    gtest_discover_tests(${target} DISCOVERY_MODE PRE_TEST PROPERTIES LABELS "${labels}")
  endif()
endfunction()

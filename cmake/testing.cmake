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

# velmora_add_gtest(target [LABELS label]): natively each case is its own test; under Wine the whole
# binary is one test, since every Wine process start costs about a second.
function(velmora_add_gtest target)
  cmake_parse_arguments(ARG "" "" "LABELS" ${ARGN})
  if(CMAKE_CROSSCOMPILING)
    add_test(NAME ${target} COMMAND ${target})
    set_tests_properties(${target} PROPERTIES LABELS "unit;${ARG_LABELS}")
  else()
    # CMake 3.25 splits a list-valued property written into the discovery script, so a
    # discovered test carries one label: the given one, or "unit".
    list(GET ARG_LABELS 0 label)
    if(NOT label)
      set(label unit)
    endif()
    gtest_discover_tests(${target} DISCOVERY_MODE PRE_TEST PROPERTIES LABELS ${label})
  endif()
endfunction()

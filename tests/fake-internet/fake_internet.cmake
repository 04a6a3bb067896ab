# velmora_add_fake_internet_test(NAME SCENARIO COMMAND cmd... [LABELS ...] [TIMEOUT s]):
# a ctest test whose command runs inside tests/fake-internet/run.sh with the given scenario.
function(velmora_add_fake_internet_test name scenario)
  cmake_parse_arguments(ARG "" "TIMEOUT" "COMMAND;LABELS" ${ARGN})
  add_test(NAME ${name}
           COMMAND bash ${PROJECT_SOURCE_DIR}/tests/fake-internet/run.sh --scenario ${scenario}
                   -- ${ARG_COMMAND})
  if(NOT ARG_TIMEOUT)
    set(ARG_TIMEOUT 60)
  endif()
  set_tests_properties(${name} PROPERTIES LABELS "fake-internet;${ARG_LABELS}"
                                          TIMEOUT ${ARG_TIMEOUT})
endfunction()

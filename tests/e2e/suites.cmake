# cmake -DLIST_COMMAND=<command;args> -DSUITES=<suite;...> -P suites.cmake
# Fails when the test program holds a suite that SUITES does not name, or
# SUITES names one the program does not hold.
execute_process(COMMAND ${LIST_COMMAND} OUTPUT_VARIABLE listing RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "listing the tests failed (${result}):\n${listing}")
endif()
# Suites start their line and end with a dot; their tests are indented.
string(REGEX MATCHALL "(^|\n)[^ \n][^\n]*\\." lines "${listing}")
set(listed)
foreach(line IN LISTS lines)
  string(STRIP "${line}" line)
  string(REGEX REPLACE "\\.$" "" line "${line}")
  list(APPEND listed "${line}")
endforeach()
set(missing ${listed})
list(REMOVE_ITEM missing ${SUITES})
set(extra ${SUITES})
list(REMOVE_ITEM extra ${listed})
if(missing OR extra)
  message(FATAL_ERROR "suites without a test: ${missing}; tests without a suite: ${extra}")
endif()
message(STATUS "every suite has its test: ${listed}")

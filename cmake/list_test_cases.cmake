# Run after a test executable links: writes the cases it holds, as
# GoogleTest lists them, to LIST_FILE for CTest to group (test_groups.cmake).
# Usage: cmake -DEXE=<test executable> -DLIST_FILE=<file> -P list_test_cases.cmake
execute_process(
  COMMAND "${EXE}" --gtest_list_tests
  OUTPUT_VARIABLE listing
  ERROR_VARIABLE errors
  RESULT_VARIABLE result
  TIMEOUT 120)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "${EXE} could not list its cases (${result}):\n${listing}\n${errors}")
endif()
# Written only when it changes, so an unchanged list keeps its time stamp.
set(previous "")
if(EXISTS "${LIST_FILE}")
  file(READ "${LIST_FILE}" previous)
endif()
if(NOT previous STREQUAL listing)
  file(WRITE "${LIST_FILE}" "${listing}")
endif()

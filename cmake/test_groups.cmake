# Read by CTest (through a test directory's TEST_INCLUDE_FILES) to declare the
# tests of one GoogleTest executable: each test suite runs in one process, in
# chunks of at most CHUNK cases, rather than one process per case. Starting a
# sanitizer-instrumented process with its libraries costs about as much as a
# small case, so this keeps the suite's time on the cases themselves. A case
# that fails still names itself in GoogleTest's output, which CTest prints.
#
# Cases listed in OWN_PROCESS (as "Suite" or "Suite.Case") keep a process of
# their own each: they change process-wide state that later cases would see.

# CTest reads this file with its own default policies; the functions keep
# the ones they are defined with.
cmake_policy(PUSH)
cmake_policy(VERSION 3.25)

function(marivel_add_test_groups)
  cmake_parse_arguments(ARG "SERIAL" "TARGET;EXE;LIST_FILE;WORKING_DIRECTORY;CHUNK"
                        "ENVIRONMENT;OWN_PROCESS" ${ARGN})
  if(NOT EXISTS "${ARG_LIST_FILE}")
    add_test("${ARG_TARGET}_NOT_BUILT" "${ARG_TARGET}_NOT_BUILT")
    return()
  endif()
  file(STRINGS "${ARG_LIST_FILE}" lines)

  # Suites in the order GoogleTest runs them, each with its cases.
  set(suites "")
  set(suite "")
  foreach(line IN LISTS lines)
    string(REGEX REPLACE "[ \t]*#.*$" "" line "${line}")
    if(line MATCHES "^([^ ]+)\\.$")
      set(suite "${CMAKE_MATCH_1}")
      string(MAKE_C_IDENTIFIER "${suite}" key)
      list(APPEND suites "${suite}")
      set(cases_${key} "")
    elseif(line MATCHES "^  ([^ ]+)$" AND NOT suite STREQUAL "")
      list(APPEND cases_${key} "${CMAKE_MATCH_1}")
    endif()
  endforeach()

  foreach(suite IN LISTS suites)
    string(MAKE_C_IDENTIFIER "${suite}" key)
    set(cases ${cases_${key}})
    list(LENGTH cases count)
    if(count EQUAL 0)
      continue()
    endif()
    set(shared "")
    foreach(case IN LISTS cases)
      if("${suite}" IN_LIST ARG_OWN_PROCESS OR "${suite}.${case}" IN_LIST ARG_OWN_PROCESS)
        _marivel_add_group("${ARG_TARGET}:${suite}.${case}" "${suite}.${case}" 1)
      else()
        list(APPEND shared "${case}")
      endif()
    endforeach()
    list(LENGTH shared count)
    if(count EQUAL 0)
      continue()
    endif()
    math(EXPR chunks "(${count} + ${ARG_CHUNK} - 1) / ${ARG_CHUNK}")
    if(chunks EQUAL 1)
      if(count EQUAL 1)
        list(GET shared 0 only)
        _marivel_add_group("${ARG_TARGET}:${suite}.${only}" "${suite}.${only}" 1)
      else()
        set(filter "")
        foreach(case IN LISTS shared)
          string(APPEND filter ":${suite}.${case}")
        endforeach()
        string(SUBSTRING "${filter}" 1 -1 filter)
        _marivel_add_group("${ARG_TARGET}:${suite}" "${filter}" ${count})
      endif()
      continue()
    endif()
    # Chunks of nearly equal size.
    math(EXPR per "(${count} + ${chunks} - 1) / ${chunks}")
    set(index 0)
    set(chunk 1)
    set(filter "")
    set(inChunk 0)
    foreach(case IN LISTS shared)
      string(APPEND filter ":${suite}.${case}")
      math(EXPR inChunk "${inChunk} + 1")
      math(EXPR index "${index} + 1")
      if(inChunk EQUAL per OR index EQUAL count)
        string(SUBSTRING "${filter}" 1 -1 filter)
        _marivel_add_group("${ARG_TARGET}:${suite}#${chunk}" "${filter}" ${inChunk})
        math(EXPR chunk "${chunk} + 1")
        set(filter "")
        set(inChunk 0)
      endif()
    endforeach()
  endforeach()
endfunction()

# One CTest test running the cases `filter` names. Its time limit grows with
# the number of cases, so a slow machine does not cut a long group short.
macro(_marivel_add_group name filter cases)
  add_test("${name}" "${ARG_EXE}" "--gtest_filter=${filter}")
  math(EXPR _limit "240 + 60 * ${cases}")
  if(_limit GREATER 1200)
    set(_limit 1200)
  endif()
  set_tests_properties("${name}" PROPERTIES
    WORKING_DIRECTORY "${ARG_WORKING_DIRECTORY}"
    ENVIRONMENT "${ARG_ENVIRONMENT}"
    TIMEOUT ${_limit}
    RUN_SERIAL ${ARG_SERIAL})
endmacro()

cmake_policy(POP)

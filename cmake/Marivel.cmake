# Project-wide compile settings and helpers.

add_compile_options(-Wall -Wextra -Wno-unused-parameter)
if(MARIVEL_WERROR)
  add_compile_options(-Werror)
endif()

if(MARIVEL_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  add_link_options(-fsanitize=address,undefined)
endif()

# Sources include headers by their path from the repository root.
include_directories(${PROJECT_SOURCE_DIR})

# marivel_test(<name> SOURCES <files...> LIBS <libs...> [SERIAL])
# One test executable per component; every GoogleTest case becomes a CTest test.
# SERIAL: its cases play media against the clock and run alone, so a loaded
# machine cannot starve them.
function(marivel_test name)
  cmake_parse_arguments(ARG "SERIAL" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gtest GTest::gmock GTest::gtest_main)
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
  gtest_discover_tests(${name}
    DISCOVERY_MODE PRE_TEST
    WORKING_DIRECTORY ${CMAKE_BINARY_DIR}/tests
    PROPERTIES ENVIRONMENT "MARIVEL_BIN_DIR=${CMAKE_BINARY_DIR}/bin" RUN_SERIAL ${ARG_SERIAL})
  # Fixtures and built files are found through these paths.
  target_compile_definitions(${name} PRIVATE
    MARIVEL_TEST_SOURCE_DIR="${PROJECT_SOURCE_DIR}"
    MARIVEL_TEST_BIN_DIR="${CMAKE_BINARY_DIR}/bin")
endfunction()

# marivel_benchmark(<name> SOURCES <files...> LIBS <libs...>)
# Benchmarks print their figures; they are built but never run as tests.
function(marivel_benchmark name)
  if(NOT MARIVEL_BENCHMARKS)
    return()
  endif()
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} benchmark::benchmark benchmark::benchmark_main)
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/benchmarks)
endfunction()

# marivel_com_server(<name> SOURCES <files...> LIBS <libs...>
#                    [NO_REGISTER] [OUTPUT_DIRECTORY <dir>])
# Builds an in-process component server: a shared library "<name>.so" in
# build/bin (or OUTPUT_DIRECTORY) that exports only DllGetClassObject,
# DllCanUnloadNow, DllRegisterServer and DllUnregisterServer (declare them
# with PLAT_COM_SERVER from platform/com/server.h). After each link, regsvr
# registers it into build/bin/registry/machine.reg, unless NO_REGISTER.
set_property(GLOBAL APPEND PROPERTY JOB_POOLS marivel_regsvr=1)
function(marivel_com_server name)
  cmake_parse_arguments(ARG "NO_REGISTER" "OUTPUT_DIRECTORY" "SOURCES;LIBS" ${ARGN})
  if(NOT ARG_OUTPUT_DIRECTORY)
    set(ARG_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bin)
  endif()
  add_library(${name} SHARED ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} plat_com)
  # Hidden by default: a server's own symbols never clash with the
  # executable's or another server's; the four exports are marked visible.
  set_target_properties(${name} PROPERTIES
    PREFIX ""
    LIBRARY_OUTPUT_DIRECTORY ${ARG_OUTPUT_DIRECTORY}
    CXX_VISIBILITY_PRESET hidden
    VISIBILITY_INLINES_HIDDEN ON)
  # Every symbol must resolve at link time, not at dlopen.
  target_link_options(${name} PRIVATE -Wl,-z,defs)
  if(NOT ARG_NO_REGISTER)
    add_dependencies(${name} regsvr)
    # One registration at a time writes the shared hive.
    set_property(TARGET ${name} PROPERTY JOB_POOL_LINK marivel_regsvr)
    add_custom_command(TARGET ${name} POST_BUILD
      COMMAND ${CMAKE_COMMAND} -E env MARIVEL_REGISTRY_DIR=${CMAKE_BINARY_DIR}/bin/registry
              $<TARGET_FILE:regsvr> $<TARGET_FILE:${name}>
      VERBATIM)
  endif()
endfunction()

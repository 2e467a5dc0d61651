# Project-wide compile settings and helpers.

add_compile_options(-Wall -Wextra -Wno-unused-parameter)
if(MARIVEL_WERROR)
  add_compile_options(-Werror)
endif()

if(MARIVEL_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  add_link_options(-fsanitize=address,undefined)
endif()

# mold links the many test executables and servers several times faster
# than the default linker; without it the default one is used.
include(CheckLinkerFlag)
check_linker_flag(CXX "-fuse-ld=mold" MARIVEL_HAS_MOLD)
if(MARIVEL_HAS_MOLD)
  add_link_options(-fuse-ld=mold)
endif()

# Sources include headers by their path from the repository root.
include_directories(${PROJECT_SOURCE_DIR})

# marivel_test(<name> SOURCES <files...> LIBS <libs...> [SERIAL]
#              [OWN_PROCESS <Suite or Suite.Case>...])
# One test executable per component. CTest runs each GoogleTest suite in one
# process, in chunks of at most MARIVEL_TEST_CHUNK cases (test_groups.cmake);
# the cases are listed once, right after the executable links. The cases
# share one GStreamer plugin registry: a test's own home folder would
# otherwise have GStreamer scan every plugin again in each process.
# SERIAL: its cases play media against the clock and run alone, so a loaded
# machine cannot starve them.
# OWN_PROCESS: suites or cases that change process-wide state later cases
# would see; each of their cases runs in a process of its own.
set(MARIVEL_TEST_CHUNK 6 CACHE STRING "Most cases of one suite run in one test process")
option(MARIVEL_UNITY_TESTS "Compile each test executable's sources in batches" ON)
function(marivel_test name)
  cmake_parse_arguments(ARG "SERIAL" "" "SOURCES;LIBS;OWN_PROCESS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gtest GTest::gmock GTest::gtest_main)
  # A test executable's sources share most of their headers (the fixtures,
  # GoogleTest, the component under test): compiled together in batches,
  # those headers are parsed and instantiated once per batch, not per file.
  set_target_properties(${name} PROPERTIES
    RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests
    UNITY_BUILD ${MARIVEL_UNITY_TESTS}
    UNITY_BUILD_BATCH_SIZE 8)
  # The code under test keeps the build's optimisation; the test's own code
  # (fixtures, GoogleTest's templates) is compiled without, which halves its
  # compile time in the optimised builds.
  target_compile_options(${name} PRIVATE $<$<NOT:$<CONFIG:Debug>>:-O0>)
  if(MARIVEL_SANITIZE)
    # The code under test keeps every check. The test's own code keeps
    # AddressSanitizer and the arithmetic and bounds checks, but not the
    # per-access null, alignment and vptr checks: on GoogleTest's templates
    # they double the compile time and find nothing in the product.
    target_compile_options(${name} PRIVATE -fno-sanitize=vptr,null,alignment)
  endif()
  if(MARIVEL_UNITY_TESTS)
    # A fixture in one file's anonymous namespace is seen as a header's type
    # once the files are compiled together; it is still private to the batch.
    target_compile_options(${name} PRIVATE -Wno-subobject-linkage)
  endif()
  # Fixtures and built files are found through these paths.
  target_compile_definitions(${name} PRIVATE
    MARIVEL_TEST_SOURCE_DIR="${PROJECT_SOURCE_DIR}"
    MARIVEL_TEST_BIN_DIR="${CMAKE_BINARY_DIR}/bin")

  set(list_file ${CMAKE_CURRENT_BINARY_DIR}/${name}.cases)
  add_custom_command(TARGET ${name} POST_BUILD
    COMMAND ${CMAKE_COMMAND} -DEXE=$<TARGET_FILE:${name}> -DLIST_FILE=${list_file}
            -P ${PROJECT_SOURCE_DIR}/cmake/list_test_cases.cmake
    VERBATIM)
  set(serial "")
  if(ARG_SERIAL)
    set(serial SERIAL)
  endif()
  set(include_file ${CMAKE_CURRENT_BINARY_DIR}/${name}_groups.cmake)
  file(GENERATE OUTPUT ${include_file} CONTENT
"include(\"${PROJECT_SOURCE_DIR}/cmake/test_groups.cmake\")
marivel_add_test_groups(TARGET ${name} EXE \"$<TARGET_FILE:${name}>\" LIST_FILE \"${list_file}\"
  WORKING_DIRECTORY \"${CMAKE_BINARY_DIR}/tests\" CHUNK ${MARIVEL_TEST_CHUNK} ${serial}
  ENVIRONMENT \"MARIVEL_BIN_DIR=${CMAKE_BINARY_DIR}/bin\" \"GST_REGISTRY=${CMAKE_BINARY_DIR}/tests/gst-registry.bin\"
  OWN_PROCESS ${ARG_OWN_PROCESS})
")
  set_property(DIRECTORY APPEND PROPERTY TEST_INCLUDE_FILES ${include_file})
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

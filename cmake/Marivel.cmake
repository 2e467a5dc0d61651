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

# marivel_test(<name> SOURCES <files...> LIBS <libs...>)
# One test executable per component; every GoogleTest case becomes a CTest test.
function(marivel_test name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gtest GTest::gmock GTest::gtest_main)
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
  gtest_discover_tests(${name}
    DISCOVERY_MODE PRE_TEST
    WORKING_DIRECTORY ${CMAKE_BINARY_DIR}/tests
    PROPERTIES ENVIRONMENT "MARIVEL_BIN_DIR=${CMAKE_BINARY_DIR}/bin")
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

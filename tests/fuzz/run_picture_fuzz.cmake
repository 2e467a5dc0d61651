# Builds the picture fuzzer (GIF decoder and file-information probe) with
# clang and runs it for a short time on a generated seed corpus. Called by
# CTest with:
#   -DCLANGXX=<clang++> -DSOURCE_DIR=<repo root> -DWORK_DIR=<scratch dir> -DSECONDS=<run time>
file(REMOVE_RECURSE ${WORK_DIR})
file(MAKE_DIRECTORY ${WORK_DIR}/corpus)

set(sources
  ${SOURCE_DIR}/platform/gdi/gif_codec.cpp
  ${SOURCE_DIR}/platform/gdi/image_format.cpp
  ${SOURCE_DIR}/engines/picture/picture_core/picture_info.cpp
  ${SOURCE_DIR}/engines/picture/picture_core/exif_block.cpp)
execute_process(
  COMMAND ${CLANGXX} -std=c++20 -O1 -g -I${SOURCE_DIR} ${SOURCE_DIR}/tests/fuzz/picture_seeds.cpp
          ${SOURCE_DIR}/platform/gdi/gif_codec.cpp -lgif -o ${WORK_DIR}/picture_seeds
  RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "building the seed generator failed")
endif()
execute_process(COMMAND ${WORK_DIR}/picture_seeds ${WORK_DIR}/corpus RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "writing the seed corpus failed")
endif()

execute_process(
  COMMAND ${CLANGXX} -std=c++20 -O1 -g -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined
          -I${SOURCE_DIR} ${SOURCE_DIR}/tests/fuzz/picture_fuzz.cpp ${sources} -lgif -lexif -o ${WORK_DIR}/picture_fuzz
  RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "building the fuzzer failed")
endif()

# Inputs up to 64 KiB; the memory limit catches outsized allocations.
execute_process(
  COMMAND ${WORK_DIR}/picture_fuzz -max_total_time=${SECONDS} -max_len=65536 -rss_limit_mb=2048
          -malloc_limit_mb=1100 -print_final_stats=1 ${WORK_DIR}/corpus
  WORKING_DIRECTORY ${WORK_DIR}
  RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "the fuzzer found a failing input (see ${WORK_DIR})")
endif()

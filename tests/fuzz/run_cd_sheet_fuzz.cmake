# Builds the CD image sheet fuzzer (cue sheets and TOC files, through the
# reader the player and the ripper use, into libcdio) with clang and runs it
# for a set time on a seed corpus of typical sheets. Called by CTest with:
#   -DCLANGXX=<clang++> -DSOURCE_DIR=<repo root> -DWORK_DIR=<scratch dir> -DSECONDS=<run time>
file(REMOVE_RECURSE ${WORK_DIR})
file(MAKE_DIRECTORY ${WORK_DIR}/corpus)

# The first byte picks the kind: even a cue sheet, odd a TOC.
file(WRITE ${WORK_DIR}/corpus/cue_audio "0FILE \"f.bin\" BINARY\n  TRACK 01 AUDIO\n    TITLE \"One\"\n    INDEX 01 00:00:00\n  TRACK 02 AUDIO\n    INDEX 00 00:00:40\n    INDEX 01 00:00:50\n")
file(WRITE ${WORK_DIR}/corpus/cue_mixed "0REM x\nPERFORMER \"P\"\nTITLE \"T\"\nFILE \"f.bin\" BINARY\n  TRACK 01 MODE1/2352\n    INDEX 01 00:00:00\n  TRACK 02 MODE2/2336\n    PREGAP 00:02:00\n    INDEX 01 00:00:30\n  TRACK 03 AUDIO\n    FLAGS DCP\n    INDEX 01 00:00:60\n")
file(WRITE ${WORK_DIR}/corpus/toc_audio "1CD_DA\nTRACK AUDIO\nFILE \"a.bin\" 0\nTRACK AUDIO\nAUDIOFILE \"a.bin\" 00:00:50 00:00:20\n")
file(WRITE ${WORK_DIR}/corpus/toc_mode2 "1TRACK MODE2\nDATAFILE \"d.bin\"\n")
file(WRITE ${WORK_DIR}/corpus/toc_silence "1TRACK AUDIO\nSILENCE \"x\" #1000 00:01:00\n")
file(WRITE ${WORK_DIR}/corpus/toc_mixed "1CD_ROM\nCATALOG \"1234567890123\"\nTRACK MODE1\nDATAFILE \"d.bin\" 00:00:30\nTRACK MODE2_RAW\nNO COPY\nDATAFILE \"d.bin\"\nTRACK AUDIO\nISRC \"ABCDE1234567\"\nFILE \"a.bin\" 0\n")
file(WRITE ${WORK_DIR}/corpus/toc_text "1CD_DA\nCD_TEXT {\n  LANGUAGE_MAP {\n    0 : EN\n  }\n  LANGUAGE 0 {\n    TITLE \"Disc\"\n    PERFORMER \"Band\"\n  }\n}\nTRACK AUDIO\nCD_TEXT {\n  LANGUAGE 0 {\n    TITLE \"One\"\n  }\n}\nFILE \"a.bin\" 0\n")

set(sources
  ${SOURCE_DIR}/engines/playback/wmhost/library/cd_image_sheet.cpp
  ${SOURCE_DIR}/engines/playback/wmhost/library/cd_toc.cpp
  ${SOURCE_DIR}/platform/media/cdio_log.cpp
  ${SOURCE_DIR}/platform/sys/debug_output.cpp)
execute_process(
  COMMAND ${CLANGXX} -std=c++20 -O1 -g -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined
          -I${SOURCE_DIR} ${SOURCE_DIR}/tests/fuzz/cd_sheet_fuzz.cpp ${sources} -lcdio -o ${WORK_DIR}/cd_sheet_fuzz
  RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "building the fuzzer failed")
endif()

# Sheets up to 4 KiB; the working folder holds the image's files.
execute_process(
  COMMAND ${WORK_DIR}/cd_sheet_fuzz -max_total_time=${SECONDS} -max_len=4096 -rss_limit_mb=2048
          -malloc_limit_mb=1100 -print_final_stats=1 ${WORK_DIR}/corpus
  WORKING_DIRECTORY ${WORK_DIR}
  RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "the fuzzer found a failing input (see ${WORK_DIR})")
endif()

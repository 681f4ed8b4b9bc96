# cmake -DSEEDGEN=fuzz_seedgen -DSEEDS=fuzz/seeds -DOUT=scratch -P CheckSeeds.cmake
# Runs the seed generator into OUT and fails, naming the files, when a seed
# it writes is missing from SEEDS or differs there. Other files in SEEDS are
# inputs the fuzzers kept (a crash or property failure made a regression
# seed); libFuzzer names those by their SHA-1, so one whose name is not its
# own SHA-1 is a generated seed gone stale or a copy edited by hand.
cmake_minimum_required(VERSION 3.25)
file(REMOVE_RECURSE ${OUT})
file(MAKE_DIRECTORY ${OUT})
execute_process(COMMAND ${SEEDGEN} ${OUT} RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "${SEEDGEN} failed: ${status}")
endif()

set(bad "")
file(GLOB_RECURSE generated RELATIVE ${OUT} ${OUT}/*)
if(NOT generated)
  message(FATAL_ERROR "${SEEDGEN} wrote no seeds")
endif()
foreach(seed IN LISTS generated)
  if(NOT EXISTS ${SEEDS}/${seed})
    list(APPEND bad "${seed} (missing)")
  else()
    file(SHA256 ${OUT}/${seed} want)
    file(SHA256 ${SEEDS}/${seed} have)
    if(NOT want STREQUAL have)
      list(APPEND bad "${seed} (differs)")
    endif()
  endif()
endforeach()

file(GLOB_RECURSE committed RELATIVE ${SEEDS} ${SEEDS}/*)
foreach(seed IN LISTS committed)
  if(seed IN_LIST generated)
    continue()
  endif()
  get_filename_component(name ${seed} NAME)
  file(SHA1 ${SEEDS}/${seed} sum)
  if(NOT name STREQUAL sum)
    list(APPEND bad "${seed} (not written by the generator, and not named by its SHA-1)")
  endif()
endforeach()

if(bad)
  list(JOIN bad "\n  " lines)
  message(FATAL_ERROR "fuzz seeds out of step with ${SEEDGEN}; run it on fuzz/seeds:\n  ${lines}")
endif()

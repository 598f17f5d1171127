# Runs biftool's fuzzer for SECONDS seconds on fresh seeds: cmake -DFUZZER=... -DTESTS=...
# -DWORK=... -DSECONDS=... -P run_fuzz.cmake. Fails if the fuzzer finds a crash, a leak, a
# timeout or an allocation above 256 MB; the input is left in WORK/ as crash-*/leak-*/...
file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK}/seeds ${WORK}/corpus)
execute_process(COMMAND ${TESTS} --write-fuzz-seeds ${WORK}/seeds RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "writing fuzz seeds failed: ${rc}")
endif()
execute_process(
  COMMAND ${FUZZER} -max_total_time=${SECONDS} -timeout=10 -malloc_limit_mb=256 -rss_limit_mb=1024
          -print_final_stats=1 -artifact_prefix=${WORK}/ ${WORK}/corpus ${WORK}/seeds
  RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "the fuzzer found a problem (exit ${rc}); see the input saved in ${WORK}")
endif()

# Runs biftool's fuzzer for SECONDS seconds on seeds made from the demo game (each archive after
# the index): cmake -DFUZZER=... -DDEMO=bifdemo -DWORK=... -DSECONDS=... -P run_fuzz.cmake. Fails
# if the fuzzer finds a crash, a leak, a timeout or an allocation above 256 MB; the input is left
# in WORK/ as crash-*/leak-*/...
file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK}/seeds ${WORK}/corpus)
execute_process(COMMAND ${DEMO} ${WORK}/demo OUTPUT_QUIET RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "writing the demo game failed: ${rc}")
endif()
file(GLOB archives ${WORK}/demo/data/*.bif)
foreach(a ${archives})
  get_filename_component(name ${a} NAME)
  execute_process(COMMAND ${CMAKE_COMMAND} -E cat ${WORK}/demo/chitin.key ${a} OUTPUT_FILE ${WORK}/seeds/${name})
endforeach()
execute_process(
  COMMAND ${FUZZER} -max_total_time=${SECONDS} -timeout=10 -malloc_limit_mb=256 -rss_limit_mb=1024
          -print_final_stats=1 -artifact_prefix=${WORK}/ ${WORK}/corpus ${WORK}/seeds
  RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "the fuzzer found a problem (exit ${rc}); see the input saved in ${WORK}")
endif()

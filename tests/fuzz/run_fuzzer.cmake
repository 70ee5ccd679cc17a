# Runs FUZZER for SECONDS on a fresh working corpus that starts from SEEDS;
# an input that fails is kept in ARTIFACTS.
file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK} ${ARTIFACTS})
execute_process(
  COMMAND ${FUZZER} -max_total_time=${SECONDS} -timeout=10 -rss_limit_mb=2048
          -print_final_stats=1 -artifact_prefix=${ARTIFACTS}/ ${WORK} ${SEEDS}
  RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "the fuzzer found a failure (exit ${result}); the input is in ${ARTIFACTS}")
endif()

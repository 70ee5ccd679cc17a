# Writes the default parameter set of every bike code into OUT with CLI.
file(MAKE_DIRECTORY ${OUT})
foreach(code RANGE 0 44)
  execute_process(COMMAND ${CLI} defaults ${code} -o ${OUT}/default_${code}.ign
                  RESULT_VARIABLE result)
  if(NOT result EQUAL 0)
    message(FATAL_ERROR "zentrova-cli defaults ${code} failed: ${result}")
  endif()
endforeach()
file(TOUCH ${OUT}/.stamp)

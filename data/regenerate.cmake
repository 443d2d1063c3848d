# Regenerates the large sample mission and compares it with the checked-in copy, so the
# generator stays deterministic and the copy stays what it makes.
execute_process(COMMAND ${KIT_TOOL} mission 2800 2800 ${OUT} RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "sortie-kit mission failed (${rc})")
endif()
execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files ${OUT} ${EXPECTED} RESULT_VARIABLE diff)
if(NOT diff EQUAL 0)
  message(FATAL_ERROR "${EXPECTED} is not what the generator makes now: run sortie-kit mission 2800 2800 ${EXPECTED}")
endif()

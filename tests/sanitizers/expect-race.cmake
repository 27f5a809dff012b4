# Runs PROGRAM (the scratch race under ThreadSanitizer) and passes when it
# reports the race on RacyWorker::polls and no other: every report must name
# the racing functions of the scratch program.
execute_process(COMMAND ${PROGRAM} RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
string(REPLACE "==================" ";" blocks "${err}")
set(races 0)
foreach(block IN LISTS blocks)
  if(block MATCHES "WARNING: ThreadSanitizer")
    if(NOT block MATCHES "bumpPolls" OR NOT block MATCHES "readPollsUnlocked")
      message(FATAL_ERROR "report not about the scratch race:\n${block}")
    endif()
    math(EXPR races "${races} + 1")
  endif()
endforeach()
if(races EQUAL 0)
  message(FATAL_ERROR "the deliberate race was not reported (exit ${rc}):\n${err}")
endif()
message(STATUS "the deliberate race was reported (${races} report(s), exit ${rc})")

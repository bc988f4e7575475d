# Runs `infil --report` the way a script would and checks what it leaves.
file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK})
# No display is needed: the command never shows a window.
set(ENV{DISPLAY} "")
set(ENV{WAYLAND_DISPLAY} "")
set(ENV{QT_QPA_PLATFORM} "")

function(run expected_rc)
  execute_process(COMMAND ${INFIL} ${ARGN} WORKING_DIRECTORY ${WORK}
    RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(NOT rc EQUAL expected_rc)
    message(FATAL_ERROR "infil ${ARGN}: exit ${rc}, expected ${expected_rc}\n${out}${err}")
  endif()
  set(last_error "${err}" PARENT_SCOPE)
endfunction()

run(0 --report ${PROJECT} zpráva.html)
file(READ ${WORK}/zpráva.html page) # Windows-1250: only its ASCII markup is looked at
string(FIND "${page}" "<html" html)
string(FIND "${page}" "<HTML" HTML)
if(html EQUAL -1 AND HTML EQUAL -1)
  message(FATAL_ERROR "zpráva.html is no HTML page")
endif()

run(0 --report ${PROJECT} ${WORK}/zpráva.pdf)
file(READ ${WORK}/zpráva.pdf pdf LIMIT 5 HEX)
if(NOT pdf STREQUAL "255044462d") # "%PDF-"
  message(FATAL_ERROR "zpráva.pdf is no PDF document")
endif()

run(2 --report ${PROJECT} zpráva.txt)
run(1 --report ${WORK}/chybí.infil zpráva.htm)
string(FIND "${last_error}" "Projekt nelze otevřít ze souboru" said)
if(said EQUAL -1)
  message(FATAL_ERROR "a missing project is not named: ${last_error}")
endif()
if(EXISTS ${WORK}/zpráva.htm)
  message(FATAL_ERROR "a report was written for a project that did not open")
endif()

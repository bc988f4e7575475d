# Replays one scenario in a fresh application folder and compares its output with
# the expected document. The folder's path is written as $APPDIR in expected files.
#
# A scenario may say what its application folder holds besides Webs/:
#   "setup": { "infil.mdb": "rain-fixture.mdb" }   (a file of the shared fixtures)
# With -DUPDATE=ON the expected file is (re)written instead: review it before committing.
file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK})
file(COPY ${WEBS} DESTINATION ${WORK})
file(READ ${SCENARIO} scenario_text)
string(JSON setup ERROR_VARIABLE no_setup GET "${scenario_text}" setup)
if(NOT no_setup)
  string(JSON count LENGTH "${setup}")
  if(count GREATER 0)
    math(EXPR last "${count} - 1")
    foreach(i RANGE ${last})
      string(JSON target MEMBER "${setup}" ${i})
      string(JSON source GET "${setup}" "${target}")
      if(NOT EXISTS ${FIXTURES}/${source})
        message(STATUS "skipped: fixture ${source} is not available")
        return()
      endif()
      configure_file(${FIXTURES}/${source} ${WORK}/${target} COPYONLY)
    endforeach()
  endif()
endif()

# The program's own home in the run's folder: nothing of the real user's
# (settings, registrations, an earlier report) reaches the run, nor the run them.
set(env ${WORK}/env)
foreach(pair HOME=home XDG_CONFIG_HOME=home/.config XDG_DATA_HOME=home/.local/share
             XDG_STATE_HOME=home/.local/state XDG_CACHE_HOME=home/.cache XDG_RUNTIME_DIR=run)
  string(REPLACE "=" ";" pair ${pair})
  list(GET pair 0 variable)
  list(GET pair 1 folder)
  file(MAKE_DIRECTORY ${env}/${folder})
  set(ENV{${variable}} ${env}/${folder})
endforeach()
file(CHMOD ${env}/run DIRECTORY_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE)
set(ENV{VEER12_REGISTRY} ${env}/home/.config/veer12/classes.reg)
set(ENV{VEER12_SYSTEM_REGISTRY} ${env}/etc/veer12/classes.reg)

execute_process(
  COMMAND ${INFIL} --script ${SCENARIO} --app-dir ${WORK} --now 2026-12-08T10:15:30
  OUTPUT_VARIABLE actual ERROR_VARIABLE errors RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "infil --script failed (${rc}): ${errors}")
endif()
string(REPLACE "${WORK}" "$APPDIR" actual "${actual}")

if(UPDATE)
  file(WRITE ${EXPECTED} "${actual}")
  message(STATUS "wrote ${EXPECTED}")
  return()
endif()
if(NOT EXISTS ${EXPECTED})
  message(FATAL_ERROR "no expected output ${EXPECTED}")
endif()
file(READ ${EXPECTED} expected)
string(JSON same ERROR_VARIABLE json_error EQUAL "${expected}" "${actual}")
if(json_error)
  message(FATAL_ERROR "cannot compare: ${json_error}")
endif()
if(NOT same)
  file(WRITE ${WORK}/actual.json "${actual}")
  execute_process(COMMAND diff -u ${EXPECTED} ${WORK}/actual.json OUTPUT_VARIABLE diff)
  message(FATAL_ERROR "output differs from ${EXPECTED}:\n${diff}")
endif()

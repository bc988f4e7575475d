# Runs the environment tests as a user whose own registration store, and the
# system's, name a library that ends any process loading it (as a stale
# registration of a sanitizer build did). They pass only when no test sees
# the stores of the environment it was started in.
#   -DTESTS=<ui_tests> -DSTALE=<the stale library> -DWORK=<folder>
file(REMOVE_RECURSE ${WORK})
set(home ${WORK}/home)
set(entries "[Veer12.Veer.1\\CLSID]\n@=\"{AC21760D-5B12-11D4-A41F-94EBAB2B3626}\"\n\n"
            "[CLSID\\{AC21760D-5B12-11D4-A41F-94EBAB2B3626}\\InprocServer32]\n@=\"${STALE}\"\n")
file(WRITE ${home}/.config/veer12/classes.reg ${entries})
file(WRITE ${WORK}/etc/veer12/classes.reg ${entries})
file(CHMOD_RECURSE ${WORK} DIRECTORY_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE
     FILE_PERMISSIONS OWNER_READ OWNER_WRITE)

set(ENV{HOME} ${home})
unset(ENV{XDG_CONFIG_HOME})
unset(ENV{VEER12_REGISTRY})
set(ENV{VEER12_SYSTEM_REGISTRY} ${WORK}/etc/veer12/classes.reg)
execute_process(COMMAND ${TESTS} --gtest_filter=TestEnvironment.* RESULT_VARIABLE rc
                OUTPUT_VARIABLE out ERROR_VARIABLE out)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "the environment tests failed (${rc}):\n${out}")
endif()

# Runs the test program TESTS with the gtest filter FILTER on a display at 150 %. Under Wine a
# process takes the display's DPI from the registry's LogPixels of Control Panel\Desktop (absent
# from the test prefix, so 96) once, when it starts: the value is written just before the test
# program starts and removed as soon as it has ended, whatever its outcome, and every test runs
# on its own, so no other test's process starts meanwhile. EMULATOR runs Windows programs (wine);
# without it, on Windows, the display's own scale applies.
set(desktop "HKCU\\Control Panel\\Desktop")
if(EMULATOR)
  execute_process(COMMAND ${EMULATOR} reg add ${desktop} /v LogPixels /t REG_DWORD /d 144 /f
                  RESULT_VARIABLE scaled OUTPUT_QUIET)
  if(NOT scaled EQUAL 0)
    message(FATAL_ERROR "the display could not be scaled: reg add answered ${scaled}")
  endif()
endif()
# Well inside the test's own time-out, so that the value is always removed.
execute_process(COMMAND ${EMULATOR} ${TESTS} --gtest_filter=${FILTER} TIMEOUT 60
                RESULT_VARIABLE result)
if(EMULATOR)
  execute_process(COMMAND ${EMULATOR} reg delete ${desktop} /v LogPixels /f
                  RESULT_VARIABLE unscaled OUTPUT_QUIET)
  if(NOT unscaled EQUAL 0)
    message(FATAL_ERROR "the display stays scaled: reg delete answered ${unscaled}")
  endif()
endif()
if(NOT result EQUAL 0)
  message(FATAL_ERROR "${TESTS} --gtest_filter=${FILTER}: ${result}")
endif()

# Tests of the Windows build under Wine, run from the native build when it is
# given the cross build: cmake -DKURVOMAT_WIN_BUILD_DIR=<path of build-win>.
# They share one Wine prefix (KURVOMAT_WINEPREFIX, see scripts/wine-env.sh)
# and so hold the resource lock "wine": Wine tests of other areas take the
# same lock.
set(KURVOMAT_WIN_BUILD_DIR "" CACHE PATH "Build directory of the Windows cross build")
if(KURVOMAT_WIN_BUILD_DIR)
  set(KURVOMAT_WINE_TEST_OUT ${CMAKE_BINARY_DIR}/wine-tests)
  # The toolkit conformance suite and the back end's own tests, in-process.
  foreach(program conformance_win32 win32_backend_test)
    add_test(NAME ${program}
             COMMAND ${CMAKE_CURRENT_LIST_DIR}/run_exe.sh ${KURVOMAT_WIN_BUILD_DIR}/${program}.exe
                     ${KURVOMAT_WINE_TEST_OUT}/${program}.log)
  endforeach()
  # The program's window from outside.
  add_test(NAME wine_window_e2e
           COMMAND ${CMAKE_CURRENT_LIST_DIR}/window_e2e.sh ${KURVOMAT_WIN_BUILD_DIR}
                   ${KURVOMAT_WINE_TEST_OUT}/wine_window_e2e)
  set_tests_properties(conformance_win32 win32_backend_test wine_window_e2e
                       PROPERTIES RESOURCE_LOCK wine TIMEOUT 300)
  # The program file itself: static linking, resources, version.
  add_test(NAME windows_exe COMMAND python3 ${CMAKE_CURRENT_LIST_DIR}/exe_check.py
                                    ${KURVOMAT_WIN_BUILD_DIR}/kurvomat.exe)
endif()

# Tests of the Windows build under Wine, run from the native build when it is
# given the cross build: cmake -DKURVOMAT_WIN_BUILD_DIR=<path of build-win>.
# They share one Wine prefix (KURVOMAT_WINEPREFIX, see scripts/wine-env.sh)
# and so hold the resource lock "wine": Wine tests of other areas take the
# same lock.
set(KURVOMAT_WIN_BUILD_DIR "" CACHE PATH "Build directory of the Windows cross build")
if(KURVOMAT_WIN_BUILD_DIR)
  set(KURVOMAT_WINE_TEST_OUT ${CMAKE_BINARY_DIR}/wine-tests)
  add_test(NAME conformance_win32
           COMMAND ${CMAKE_CURRENT_LIST_DIR}/conformance.sh ${KURVOMAT_WIN_BUILD_DIR}
                   ${KURVOMAT_WINE_TEST_OUT}/conformance_win32)
  add_test(NAME wine_window_e2e
           COMMAND ${CMAKE_CURRENT_LIST_DIR}/window_e2e.sh ${KURVOMAT_WIN_BUILD_DIR}
                   ${KURVOMAT_WINE_TEST_OUT}/wine_window_e2e)
  set_tests_properties(conformance_win32 wine_window_e2e PROPERTIES RESOURCE_LOCK wine
                       TIMEOUT 300)
endif()

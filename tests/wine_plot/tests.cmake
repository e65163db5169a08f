# End-to-end test of the plot modes and the information boxes of the Windows
# build under Wine; needs the cross build (-DKURVOMAT_WIN_BUILD_DIR=...). It
# shares the Wine prefix with the other Wine tests and so holds their lock.
set(KURVOMAT_WIN_BUILD_DIR "" CACHE PATH "Build directory of the Windows cross build")
if(KURVOMAT_WIN_BUILD_DIR)
  add_test(NAME wine_plot_e2e
           COMMAND ${CMAKE_CURRENT_LIST_DIR}/plot_e2e.sh ${KURVOMAT_WIN_BUILD_DIR}
                   ${CMAKE_BINARY_DIR}/wine-tests/wine_plot_e2e)
  set_tests_properties(wine_plot_e2e PROPERTIES RESOURCE_LOCK wine TIMEOUT 300)
endif()

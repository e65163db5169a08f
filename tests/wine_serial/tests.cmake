# End-to-end tests of the serial link of the Windows build under Wine, with a
# pseudo-terminal standing in for the board (see serial_e2e.py). Run from the
# native build when it is given the cross build (KURVOMAT_WIN_BUILD_DIR); they
# share the Wine prefix and take the resource lock "wine".
if(KURVOMAT_WIN_BUILD_DIR)
  foreach(case connect stream bad_port hangup close)
    add_test(NAME wine_serial_${case}
             COMMAND ${CMAKE_CURRENT_LIST_DIR}/run.sh ${case} ${KURVOMAT_WIN_BUILD_DIR}
                     ${CMAKE_BINARY_DIR}/wine-tests/wine_serial_${case})
    set_tests_properties(wine_serial_${case} PROPERTIES RESOURCE_LOCK wine TIMEOUT 300)
  endforeach()
endif()

# Linux tests: the termios serial operations against pseudo-terminals, port
# discovery against a tree of device files, the virtual board, and end to end
# the native viewer with the board under Xvfb.
add_executable(linux_tests tests/linux/serial_port_test.cpp tests/linux/device_list_test.cpp
               tests/linux/board_test.cpp serial/port_posix.cpp serial/linux_devices.cpp)
target_include_directories(linux_tests PRIVATE ${CMAKE_SOURCE_DIR})
target_link_libraries(linux_tests PRIVATE kurvomat_toolkit kurvomat_board_wave GTest::gtest
                      GTest::gtest_main)
target_compile_definitions(linux_tests PRIVATE KURVOMAT_BOARD="$<TARGET_FILE:kurvomat-board>")
add_dependencies(linux_tests kurvomat-board)
add_test(NAME linux COMMAND linux_tests)

find_package(X11 REQUIRED)
add_executable(linux_end_to_end tests/linux/end_to_end_test.cpp serial/linux_devices.cpp)
target_include_directories(linux_end_to_end PRIVATE ${CMAKE_SOURCE_DIR})
target_link_libraries(linux_end_to_end PRIVATE kurvomat_toolkit X11::X11 GTest::gtest
                      GTest::gtest_main)
target_compile_definitions(linux_end_to_end PRIVATE
                           KURVOMAT_VIEWER="$<TARGET_FILE:kurvomat>"
                           KURVOMAT_BOARD="$<TARGET_FILE:kurvomat-board>")
add_dependencies(linux_end_to_end kurvomat kurvomat-board)
add_test(NAME linux_end_to_end
         COMMAND ${CMAKE_SOURCE_DIR}/scripts/with-display.sh $<TARGET_FILE:linux_end_to_end>)

# Both start virtual boards, which every viewer and test on the machine
# sees: they do not run side by side.
set_tests_properties(linux linux_end_to_end PROPERTIES RESOURCE_LOCK kurvomat-board)

# The FLTK back end's own cases, beyond the conformance suite.
add_executable(fltk_tests tests/linux/fltk_test.cpp ${TOOLKIT_FLTK_PROBE_SOURCES})
target_include_directories(fltk_tests PRIVATE ${CMAKE_SOURCE_DIR})
target_link_libraries(fltk_tests PRIVATE kurvomat_fltk GTest::gtest GTest::gtest_main)
add_test(NAME fltk COMMAND ${CMAKE_SOURCE_DIR}/scripts/with-display.sh $<TARGET_FILE:fltk_tests>)

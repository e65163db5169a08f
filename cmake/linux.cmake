# Native build: the Linux viewer, the virtual board, the tests and benchmarks.
include(CTest)
find_package(GTest REQUIRED)
find_package(Threads REQUIRED)

# ---- the Linux viewer --------------------------------------------------------
# FLTK from Debian, through fltk-config (its CMake package wants fluid too).
find_program(FLTK_CONFIG fltk-config REQUIRED)
execute_process(COMMAND ${FLTK_CONFIG} --cxxflags OUTPUT_VARIABLE FLTK_CXXFLAGS
                OUTPUT_STRIP_TRAILING_WHITESPACE)
execute_process(COMMAND ${FLTK_CONFIG} --ldflags OUTPUT_VARIABLE FLTK_LDFLAGS
                OUTPUT_STRIP_TRAILING_WHITESPACE)
separate_arguments(FLTK_CXXFLAGS UNIX_COMMAND "${FLTK_CXXFLAGS}")
separate_arguments(FLTK_LDFLAGS UNIX_COMMAND "${FLTK_LDFLAGS}")
add_library(kurvomat_fltk STATIC ${TOOLKIT_FLTK_SOURCES})
target_compile_options(kurvomat_fltk PUBLIC ${FLTK_CXXFLAGS})
target_link_libraries(kurvomat_fltk PUBLIC kurvomat_toolkit ${FLTK_LDFLAGS})

add_executable(kurvomat ${APP_MAIN_SOURCES} ${SERIAL_LINUX_SOURCES})
target_link_libraries(kurvomat PRIVATE kurvomat_core kurvomat_fltk)

# ---- tools ---------------------------------------------------------------------
file(GLOB KURVOMAT_TOOL_CMAKE CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tools/*/tool.cmake)
foreach(tool_file ${KURVOMAT_TOOL_CMAKE})
  include(${tool_file})
endforeach()

# ---- tests -----------------------------------------------------------------------
# Unit and behaviour tests: the program driven through the headless back end,
# the fake registry and the fake serial port.
file(GLOB KURVOMAT_TEST_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/unit/*.cpp)
add_executable(kurvomat_tests ${KURVOMAT_TEST_SOURCES} ${TOOLKIT_HEADLESS_SOURCES}
               ${TOOLKIT_HEADLESS_PROBE_SOURCES} ${SERIAL_REGISTRY_SCAN_SOURCES}
               serial/linux_devices.cpp)
target_include_directories(kurvomat_tests PRIVATE ${CMAKE_SOURCE_DIR}/tests)
target_link_libraries(kurvomat_tests PRIVATE kurvomat_core GTest::gtest GTest::gtest_main)
add_test(NAME unit COMMAND kurvomat_tests)
add_test(NAME format COMMAND ${CMAKE_SOURCE_DIR}/scripts/check-format.sh)

# The toolkit conformance suite, once per back end.
file(GLOB KURVOMAT_CONFORMANCE_SOURCES CONFIGURE_DEPENDS
     ${CMAKE_SOURCE_DIR}/tests/conformance/*.cpp)
add_executable(conformance_headless ${KURVOMAT_CONFORMANCE_SOURCES}
               ${TOOLKIT_HEADLESS_SOURCES} ${TOOLKIT_HEADLESS_PROBE_SOURCES})
target_link_libraries(conformance_headless PRIVATE kurvomat_toolkit GTest::gtest GTest::gtest_main)
add_test(NAME conformance_headless COMMAND conformance_headless)

add_executable(conformance_fltk ${KURVOMAT_CONFORMANCE_SOURCES} ${TOOLKIT_FLTK_PROBE_SOURCES})
target_link_libraries(conformance_fltk PRIVATE kurvomat_fltk GTest::gtest GTest::gtest_main)
add_test(NAME conformance_fltk
         COMMAND ${CMAKE_SOURCE_DIR}/scripts/with-display.sh $<TARGET_FILE:conformance_fltk>)

# Further test programs and end-to-end tests of each area.
file(GLOB KURVOMAT_TEST_CMAKE CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/*/tests.cmake)
foreach(test_file ${KURVOMAT_TEST_CMAKE})
  include(${test_file})
endforeach()

# Installing and packaging.
include(cmake/packaging.cmake)

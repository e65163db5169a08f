# serial_bench.exe: the program's start-up and main loop timed from inside,
# against a pseudo-terminal under Wine (scripts/bench-serial.sh).
add_executable(serial_bench ${CMAKE_CURRENT_LIST_DIR}/serial_bench.cpp
               ${SERIAL_REGISTRY_SCAN_SOURCES} ${SERIAL_WIN32_SOURCES} app/resources/kurvomat.rc)
target_link_libraries(serial_bench PRIVATE kurvomat_core kurvomat_win32 ${KURVOMAT_WIN32_LIBS})

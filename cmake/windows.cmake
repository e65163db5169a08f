# Windows build: kurvomat.exe, linked statically, and the toolkit conformance
# suite for running under Wine.
set(KURVOMAT_WIN32_LIBS user32 gdi32 comctl32 comdlg32 ole32 advapi32 winmm kernel32)
add_link_options(-static -static-libgcc -static-libstdc++)

add_library(kurvomat_win32 STATIC ${TOOLKIT_WIN32_SOURCES})
target_link_libraries(kurvomat_win32 PUBLIC kurvomat_toolkit ${KURVOMAT_WIN32_LIBS})

# The resources: icon group 1, the manifest (common controls 6.0.0.0,
# asInvoker) and the version.
set(KURVOMAT_RESOURCES app/resources/kurvomat.rc)
set_source_files_properties(
  app/resources/kurvomat.rc PROPERTIES OBJECT_DEPENDS
  "${CMAKE_SOURCE_DIR}/app/resources/kurvomat.ico;${CMAKE_SOURCE_DIR}/app/resources/kurvomat.manifest")

add_executable(kurvomat WIN32 ${APP_MAIN_SOURCES} ${SERIAL_REGISTRY_SCAN_SOURCES}
               ${SERIAL_WIN32_SOURCES} ${KURVOMAT_RESOURCES})
target_link_libraries(kurvomat PRIVATE kurvomat_core kurvomat_win32 ${KURVOMAT_WIN32_LIBS})
# A GUI program without a console; its entry point is main().
target_link_options(kurvomat PRIVATE -mwindows)

# GoogleTest from Debian's googletest sources.
set(gtest_force_shared_crt OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)

file(GLOB KURVOMAT_CONFORMANCE_SOURCES CONFIGURE_DEPENDS
     ${CMAKE_SOURCE_DIR}/tests/conformance/*.cpp)
# With the program's resources, so that the same common controls are used.
add_executable(conformance_win32 ${KURVOMAT_CONFORMANCE_SOURCES} ${TOOLKIT_WIN32_PROBE_SOURCES}
               ${KURVOMAT_RESOURCES})
target_link_libraries(conformance_win32 PRIVATE kurvomat_win32 gtest gtest_main
                      ${KURVOMAT_WIN32_LIBS})

# The Windows back end's own tests, beyond the conformance suite.
add_executable(win32_backend_test tests/wine/win32_backend_test.cpp ${TOOLKIT_WIN32_PROBE_SOURCES}
               ${KURVOMAT_RESOURCES})
target_link_libraries(win32_backend_test PRIVATE kurvomat_win32 gtest gtest_main
                      ${KURVOMAT_WIN32_LIBS})

file(GLOB KURVOMAT_WIN_TOOL_CMAKE CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tools/*/wintool.cmake)
foreach(tool_file ${KURVOMAT_WIN_TOOL_CMAKE})
  include(${tool_file})
endforeach()

# Installing and packaging.
include(cmake/packaging.cmake)

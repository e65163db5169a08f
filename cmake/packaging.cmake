# Installing and packaging. Linux: the viewer and the virtual board in bin, a
# desktop entry and the icon in their usual places, packed as a .deb. Windows:
# kurvomat.exe, packed as a .zip.
include(GNUInstallDirs)

set(CPACK_PACKAGE_NAME kurvomat)
set(CPACK_PACKAGE_VENDOR "Kurvomat")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "Kurvomat-Entwickler <kurvomat@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "Viewer that turns a serial byte stream into an oscilloscope picture")
set(CPACK_PACKAGE_DESCRIPTION
    "Kurvomat reads the bytes a microcontroller board sends over a serial line and draws\n\
each byte as one sample of a trace: triggered sweeps, a fast plot and timed plots,\n\
with the measured figures and the load of the line in the status bar. The package\n\
also holds kurvomat-board, a virtual board that sends test signals over a\n\
pseudo-terminal.")

if(CMAKE_SYSTEM_NAME STREQUAL "Windows")
  install(TARGETS kurvomat RUNTIME DESTINATION .)
  set(CPACK_GENERATOR ZIP)
  set(CPACK_SYSTEM_NAME win64)
else()
  install(TARGETS kurvomat kurvomat-board RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  install(FILES ${CMAKE_SOURCE_DIR}/cmake/desktop/kurvomat.desktop
          DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
  foreach(size 16 32 48)
    install(FILES ${CMAKE_SOURCE_DIR}/cmake/desktop/kurvomat-${size}.png
            DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
            RENAME kurvomat.png)
  endforeach()
  set(CPACK_GENERATOR DEB)
  set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
  set(CPACK_DEBIAN_PACKAGE_SECTION electronics)
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
endif()

include(CPack)

set(SERIAL_CORE_SOURCES serial/link.cpp)
set(SERIAL_REGISTRY_SCAN_SOURCES serial/registry_scan.cpp)
set(SERIAL_WIN32_SOURCES serial/registry_win32.cpp serial/port_win32.cpp)
set(SERIAL_LINUX_SOURCES serial/linux_ports.cpp serial/linux_devices.cpp serial/port_posix.cpp)

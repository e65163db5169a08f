# winremote.exe: looks at and drives the program's window from outside, for
# the end-to-end tests under Wine (see the top of winremote.cpp).
add_executable(winremote ${CMAKE_CURRENT_LIST_DIR}/winremote.cpp)
target_link_options(winremote PRIVATE -municode)
target_link_libraries(winremote PRIVATE user32 kernel32)

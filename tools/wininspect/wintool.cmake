# wininspect.exe: looks at and drives the program's window from outside, for
# the end-to-end tests under Wine (see the top of wininspect.cpp).
add_executable(wininspect ${CMAKE_CURRENT_LIST_DIR}/wininspect.cpp)
target_link_options(wininspect PRIVATE -municode)
target_link_libraries(wininspect PRIVATE user32 kernel32)

# kurvomat-board: the virtual board (a pseudo-terminal that speaks the board's
# byte stream), for the demo, the end-to-end tests and the benchmarks.
add_library(kurvomat_board_wave STATIC tools/board/wave.cpp)
target_include_directories(kurvomat_board_wave PUBLIC ${CMAKE_SOURCE_DIR}/tools/board)
add_executable(kurvomat-board tools/board/board.cpp)
target_link_libraries(kurvomat-board PRIVATE kurvomat_board_wave)

# Speed of the plotting paths on the headless back end (Google Benchmark):
#   plot_benchmark [--benchmark_min_time=2]
find_package(benchmark REQUIRED)
add_executable(plot_benchmark ${CMAKE_SOURCE_DIR}/tests/bench/plot_benchmark.cpp
               ${TOOLKIT_HEADLESS_SOURCES} ${SERIAL_REGISTRY_SCAN_SOURCES}
               ${CMAKE_SOURCE_DIR}/tests/unit/fake_port.cpp
               ${CMAKE_SOURCE_DIR}/tests/unit/fake_registry.cpp)
target_include_directories(plot_benchmark PRIVATE ${CMAKE_SOURCE_DIR}/tests)
target_link_libraries(plot_benchmark PRIVATE kurvomat_core benchmark::benchmark)

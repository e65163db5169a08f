set(PLOT_CORE_SOURCES plot/canvas.cpp plot/steps.cpp plot/scope.cpp plot/timed.cpp)

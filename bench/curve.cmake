quarlen_bench(bench_curve
  LAYERS qn_cursors
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/curve_bench.cpp
)

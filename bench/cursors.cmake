quarlen_bench(bench_cursors
  LAYERS qn_cursors
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/cursors_bench.cpp
)

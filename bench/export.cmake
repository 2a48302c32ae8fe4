quarlen_bench(bench_export
  LAYERS qn_graphics
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/export_bench.cpp
)

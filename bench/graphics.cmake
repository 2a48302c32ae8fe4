quarlen_bench(bench_graphics
  LAYERS qn_graphics
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/graphics_bench.cpp
)

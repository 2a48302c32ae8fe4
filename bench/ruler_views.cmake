quarlen_bench(bench_ruler_views
  LAYERS qn_graphics
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/ruler_views_bench.cpp
)

quarlen_bench(bench_drawing
  LAYERS qn_gui
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/drawing_bench.cpp
)
